#include "entries/views/RunUpdatePasswords.h"
#include "entries/views/GeneratePasswordDialog.h"
#include "platform/qt/QtFileDialogs.h"
#include "store/ConfigurationSettings.h"
#include "store/StartUp.h"
#include <QApplication>

namespace ql {

int runUpdatePasswords(const EntryFormServices& services, EntryFormVariant variant,
                       const EntryFormTools& tools, int request, DataTable& passwords, Record& user,
                       QWidget* parent) {
    UpdatePasswords logic(services, variant, request, passwords, user);
    logic.open();
    UpdatePasswordsDialog dialog(logic, variant, tools, parent);
    return dialog.exec() == QDialog::Accepted ? form_response::Completed
                                              : form_response::Cancelled;
}

int runUpdatePasswords(int request, DataTable& passwords, Record& user, ProgramServices& program,
                       const EntryDesktop& desktop, QWidget* parent) {
    ConfigurationSettings settings(program.prompter());
    QtFileDialogs files(parent);
    RecordManagers& managers = program.managers();
    const EntryFormServices services{desktop.clock,     program.prompter(), desktop.clipboard,
                                     desktop.windows,   files,              desktop.launcher,
                                     settings,          managers.passwords, managers.users,
                                     managers.scriptPaste, desktop.watchedEntryChanged,
                                     [] { QApplication::beep(); }};
    const EntryFormVariant variant = program.kind() == ProgramKind::Main
                                         ? EntryFormVariant::MainProgram
                                         : EntryFormVariant::MonitorProgram;
    EntryFormTools tools{program.positions(), desktop.clock, program.prompter(),
                         [&program, &desktop, &user](Record& entry, QWidget* owner) {
                             return runGeneratePassword(program, desktop.clipboard, user, entry,
                                                        owner) == 1;
                         }};
    return runUpdatePasswords(services, variant, tools, request, passwords, user, parent);
}

} // namespace ql
