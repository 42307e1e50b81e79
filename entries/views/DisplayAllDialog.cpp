#include "entries/views/DisplayAllDialog.h"
#include "framework/IniStore.h"
#include "framework/Pictures.h"
#include "framework/WidgetWindow.h"
#include "platform/records/Record.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

namespace {

QWidget* line(const QString& text, const char* name) {
    auto* edit = new QLineEdit(text);
    edit->setReadOnly(true);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QWidget* block(const QString& text, const char* name) {
    auto* edit = new QPlainTextEdit(text);
    edit->setReadOnly(true);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumHeight(60);
    return edit;
}

} // namespace

DisplayAllDialog::DisplayAllDialog(const Record& e, IniStore& positions, const QString& datePicture,
                                   QWidget* parent)
    : QDialog(parent), positions_(positions) {
    setWindowTitle(QStringLiteral("Display All Information"));
    auto* form = new QFormLayout;
    auto text = [&e](const char* field) { return e.text(QLatin1String(field)); };
    form->addRow(QStringLiteral("User:"), line(text("P_:USER"), "user"));
    form->addRow(QStringLiteral("Service:"), line(text("P_:SERVICE"), "service"));
    form->addRow(QStringLiteral("Name:"), line(text("P_:NAME"), "name"));
    form->addRow(QStringLiteral("Password:"), line(text("P_:PASSWORD"), "password"));
    form->addRow(QStringLiteral("Notes:"), block(text("P_:NOTES"), "notes"));
    form->addRow(QStringLiteral("More Notes:"), block(text("P_:MORENOTES"), "moreNotes"));
    form->addRow(QStringLiteral("Send Text:"), line(text("P_:PASTE"), "sendText"));
    form->addRow(QStringLiteral("Window:"), line(text("P_:WINDOWTITLETOLOCATE"), "window"));
    form->addRow(QStringLiteral("URL:"), line(text("P_:URL"), "url"));
    form->addRow(QStringLiteral("Last Change Date:"),
                 line(formatDate(int32_t(e.number("P_:LASTCHANGEDATE")), datePicture), "lastChangeDate"));
    form->addRow(QStringLiteral("Last Change Time:"),
                 line(formatTime(int32_t(e.number("P_:LASTCHANGETIME")), QStringLiteral("@t3")),
                      "lastChangeTime"));
    form->addRow(QStringLiteral("Seconds To Wait:"), line(text("P_:SECONDSTOWAIT"), "secondsToWait"));
    form->addRow(QStringLiteral("Repeat Interval:"), line(text("P_:DONOTREPEATSECONDS"), "repeatInterval"));
    form->addRow(QStringLiteral("Monitor:"),
                 line(e.number("P_:MONITOR") != 0 ? QStringLiteral("Yes") : QStringLiteral("No"), "monitor"));
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

void DisplayAllDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
