#include "entries/views/UpdatePasswordAdvSetDialog.h"
#include "entries/views/LengthValidator.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "platform/records/Record.h"
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

namespace {
QLabel* note(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}
} // namespace

UpdatePasswordAdvSetDialog::UpdatePasswordAdvSetDialog(Record& entry, EntryFormVariant variant,
                                                       IniStore& positions, QWidget* parent)
    : QDialog(parent), entry_(entry), positions_(positions) {
    setWindowTitle(QStringLiteral("Advanced Settings"));
    auto* layout = new QVBoxLayout(this);
    contents_ = new QLineEdit(entry_.text("P_:WINDOWCONTENTS"));
    contents_->setObjectName(QStringLiteral("windowContents"));
    contents_->setToolTip(QStringLiteral("Contents of window to locate"));
    contents_->setAccessibleName(contents_->toolTip());
    contents_->setValidator(new LengthValidator(
        entry_.def().fields[size_t(entry_.fieldIndex(QLatin1String("P_:WINDOWCONTENTS")))].width,
        contents_));
    layout->addWidget(new QLabel(QStringLiteral("Confirm window selection by looking for the text:")));
    layout->addWidget(contents_);
    layout->addWidget(note(QStringLiteral("The text of a window is typically the text on its "
                                          "buttons and in its messages.")));
    if (variant == EntryFormVariant::MainProgram) {
        directSend_ = new QCheckBox(QStringLiteral("Try to use \"Direct Send\""));
        directSend_->setObjectName(QStringLiteral("directSend"));
        directSend_->setChecked(entry_.number("P_:DIRECTSEND") != 0);
        layout->addWidget(directSend_);
        layout->addWidget(note(QStringLiteral("Some applications accept keystrokes sent to them at "
                                              "high speed (Direct Send).")));
    }
    auto* close = new QPushButton(QStringLiteral("Cl&ose"));
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

// Whatever way the window closes, what it shows is the entry's.
void UpdatePasswordAdvSetDialog::done(int result) {
    entry_.setText("P_:WINDOWCONTENTS", contents_->text());
    if (directSend_) entry_.setNumber("P_:DIRECTSEND", directSend_->isChecked() ? 1 : 0);
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

void runUpdatePasswordAdvSet(Record& entry, EntryFormVariant variant, IniStore& positions,
                             QWidget* parent) {
    UpdatePasswordAdvSetDialog dialog(entry, variant, positions, parent);
    dialog.exec();
}

} // namespace ql
