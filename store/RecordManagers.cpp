#include "store/RecordManagers.h"
#include "store/Layouts.h"

namespace ql {

// Users: the main program creates the table only through the upgrade of old
// files, yet its user selection needs the table; a missing Users table is
// therefore created empty in both programs.
RecordManagers::RecordManagers(ErrorManager& errors, ProgramKind kind)
    : passwords(passwordsTable(), errors, true),
      users(usersTable(), errors, true),
      configuration(configurationTable(), errors, false),
      words(wordsTable(), errors, true),
      scriptPaste(scriptPasteTable(), errors, true),
      userRelations(users, passwords) {
    if (kind == ProgramKind::Main) {
        syncFile = std::make_unique<FileManager>(syncFileTable(), errors, true);
        tipOfTheDay = std::make_unique<FileManager>(tipOfTheDayTable(), errors, true);
    }
}

void registerTables(ProgramKind kind) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    registerStructure(QStringLiteral("CF"), QStringLiteral("Configuration"), 10);
    registerStructure(QStringLiteral("P_"), QStringLiteral("Passwords"), 10);
    registerStructure(QStringLiteral("SP_"), QStringLiteral("ScriptPaste"), 2);
    if (kind == ProgramKind::Main) {
        registerStructure(QStringLiteral("SF_"), QStringLiteral("SyncFile"), 10);
        registerStructure(QStringLiteral("TIP"), QStringLiteral("TipOfTheDay"), 0);
    }
    registerStructure(QStringLiteral("U_"), QStringLiteral("Users"), 10);
    registerStructure(QStringLiteral("W_"), QStringLiteral("Words"), 0);
}

} // namespace ql
