#include "monitorapp/views/MonitorRun.h"
#include "monitorapp/views/TrayArtwork.h"
#include "entries/views/RunUpdatePasswords.h"
#include "entries/views/SearchField.h"
#include "signin/UserSelection.h"
#include "signin/views/AboutWindow.h"
#include "signin/views/TypingPermission.h"
#include "signin/views/MonitorOptionsDialog.h"
#include "signin/views/SelectUsersDialog.h"
#include "store/Layouts.h"
#include <QApplication>
#include <QMenu>
#include <QTableView>

namespace ql {

MonitorUserChoice MonitorProgramDialogs::chooseUser() {
    const int response = selectMonitorUser(services_, user_, &window_);
    return {response == kCompleted, withoutTrailingBlanks(user_.text("U_:NAME"))};
}

bool MonitorProgramDialogs::options() {
    const bool confirmed = runMonitorOptions(services_, settings_, values_, &window_);
    if (confirmed && valuesChanged) valuesChanged();
    return confirmed;
}

void MonitorProgramDialogs::about() {
    AboutWindow about(MonitorWindow::kTitle, services_.positions(), nullptr, &window_);
    about.setDesktopDescription(desktopDescription);
    about.exec();
}

MonitorDesktop::MonitorDesktop(Clipboard& clipboard)
    : backends(openDesktop({std::make_shared<AtspiControlTexts>(), &clipboard,
                            {QGuiApplication::desktopFileName()}, &explainTypingPermission})) {}

MonitorRun::MonitorRun(ProgramServices& s, ConfigurationSettings& c, ProgramValues& v)
    : services(s),
      settings(c),
      values(v),
      passwords(passwordsTable()),
      monitor({desktop.windows, keys, clock, s.prompter(), entries, nullptr},
              MonitorPolicy::monitorProgram()),
      user(usersTable()),
      window(s.positions()),
      dialogs(s, c, v, user, window),
      controller({window, dialogs, trayIcon, monitor, v}),
      ticker({controller, window, trayIcon, animation, monitor, c, v}),
      commands({desktop.launcher, s.prompter(), clipboard, monitor, [] { QApplication::beep(); },
                [this] { controller.minimize(); }, [this](Record&) { passwords.put(); }}) {
    connectList();
    dialogs.valuesChanged = [this] { applyValues(); };
    dialogs.desktopDescription = desktop.backends.keystrokes;
    ticker.valuesReloaded = [this] { applyValues(); };
}

void MonitorRun::connectList() {
    list.markPicture = [](MonitorListModel::EntryMark mark) -> QVariant {
        static const char* const kPictures[] = {"~blank.ico", "~glasses.ico", "~redbox.ico"};
        return TrayArtwork::icon(QString::fromLatin1(kPictures[int(mark) - 1]));
    };
    window.setEntries(&list);
    window.onShowUser = [this](const QString& userName) { list.show(userName, clock.today()); };
    // Send and Clipboard always have an entry to act on while there is one.
    const auto highlightFirst = [this] {
        QTableView& view = *window.list();
        if (!view.currentIndex().isValid() && list.rowCount() > 0)
            view.setCurrentIndex(list.index(0, MonitorListModel::Service));
    };
    QObject::connect(&list, &QAbstractItemModel::modelReset, &window, highlightFirst);
    QObject::connect(window.search(), &QLineEdit::textChanged, &window, [this](const QString& typed) {
        QTableView& view = *window.list();
        const int row = list.search(typed, std::max(view.currentIndex().row(), 0));
        if (row >= 0) view.setCurrentIndex(list.index(row, MonitorListModel::Service));
    });
    QObject::connect(window.search(), &SearchField::toList, &window, [this] { window.list()->setFocus(); });
    QObject::connect(&list, &QAbstractItemModel::rowsInserted, &window, highlightFirst);
}

void MonitorRun::applyValues() {
    keys.setPacing(SendPacing{values.groupDelay, values.groupSize});
    clipboard.setClearing(desktop.backends.clipboardClearing.get());
    clipboard.setClearSeconds(values.clipboardSeconds);
}

EntryDesktop MonitorRun::entryDesktop() {
    return {clock, clipboard, desktop.windows, desktop.launcher, {}};
}

bool MonitorRun::loadHighlighted() {
    const qint64 number = list.recordNumber(window.list()->currentIndex().row());
    if (number <= 0 || passwords.getByRecordNumber(number) != store_error::NoError) return false;
    // Only the selected user's entries are ever acted on.
    return controller.userSelected() &&
           passwords.record().sameText(passwords.record().fieldIndex("P_:USER"), controller.userName());
}

void MonitorRun::editEntry(int request) {
    if (!controller.userSelected()) return; // entries belong to a user
    if (request == form_request::Insert) {
        services.managers().passwords.primeRecord(passwords.record());
    } else if (!loadHighlighted()) {
        return;
    }
    if (runUpdatePasswords(request, passwords, user, services, entryDesktop(), &window) ==
        form_response::Completed)
        window.showUserEntries(controller.userName());
}

void MonitorRun::popUpMenu(const QPoint& where) {
    QMenu menu;
    for (const TrayMenuItem& item : controller.menu()) {
        if (item.command == TrayCommand::Separator)
            menu.addSeparator();
        else
            menu.addAction(item.text)->setData(int(item.command));
    }
    if (QAction* chosen = menu.exec(where)) controller.runCommand(TrayCommand(chosen->data().toInt()));
    controller.menuClosed();
}

} // namespace ql
