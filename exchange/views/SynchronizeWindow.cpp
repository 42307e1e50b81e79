#include "exchange/views/SynchronizeWindow.h"
#include "exchange/views/SyncProcedures.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "platform/qt/QtFileDialogs.h"
#include "store/StartUp.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ql {

namespace {
const char* const kLines[] = {
    "This option allows to securely synchronize two",
    "Quillock databases.  You can write to or read",
    "from an encrypted file that can be located on a floppy",
    "disk or other removable media.  This is ideal for users",
    "who wish to keep a copy of their passwords both at",
    "home and at work.",
};
} // namespace

SynchronizeWindow::SynchronizeWindow(SyncProcedures& procedures, IniStore& positions, QWidget* parent)
    : QDialog(parent), procedures_(procedures), positions_(positions) {
    setWindowTitle(QStringLiteral("Synchronize"));
    auto* layout = new QVBoxLayout(this);
    for (const char* line : kLines) layout->addWidget(new QLabel(QLatin1String(line)));
    auto* buttons = new QHBoxLayout;
    auto* receive = new QPushButton(QStringLiteral("&Receive"));
    auto* send = new QPushButton(QStringLiteral("&Send"));
    auto* exit = new QPushButton(QStringLiteral("E&xit"));
    for (QPushButton* b : {receive, send, exit}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(receive, &QPushButton::clicked, this, [this] {
        procedures_.syncReceive(this);
        accept();
    });
    connect(send, &QPushButton::clicked, this, [this] {
        procedures_.syncSend(this);
        accept();
    });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    WidgetWindow window(*this);
    positions_.restoreWindow(kSection, window);
}

void runSynchronize(ProgramServices& services, QString& fileName, QWidget* parent,
                    const std::function<void(const QString& userName)>& watchedEntriesChanged) {
    QtFileDialogs dialogs(parent);
    SyncProcedures procedures(services, dialogs, fileName);
    procedures.watchedEntriesChanged = watchedEntriesChanged;
    SynchronizeWindow window(procedures, services.positions(), parent);
    window.exec();
}

void SynchronizeWindow::done(int result) {
    positions_.saveWindow(kSection, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
