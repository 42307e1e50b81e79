#pragma once
#include "store/FileManager.h"
#include "store/UserRelations.h"
#include <memory>

namespace ql {

// One file manager per table of the program, and the relation between users
// and their entries. They live from start-up to the end of the run.
class RecordManagers {
public:
    RecordManagers(ErrorManager& errors, ProgramKind kind);

    FileManager passwords;
    FileManager users;
    FileManager configuration;
    FileManager words;
    FileManager scriptPaste;
    // Only the main program declares these two.
    std::unique_ptr<FileManager> syncFile;
    std::unique_ptr<FileManager> tipOfTheDay;
    UserRelations userRelations;
};

// Registers the program's tables with their structure versions, once per process.
void registerTables(ProgramKind kind);

} // namespace ql
