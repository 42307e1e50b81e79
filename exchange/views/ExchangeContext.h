#pragma once
#include "exchange/CsvFile.h"
#include "platform/records/Record.h"
#include <functional>

class QWidget;

namespace ql {

class IniStore;
class DataFileOpener;
class FileManager;

// What the import and export windows need of the program: the Passwords
// record manager, the file-error messages, the message boxes, the window
// positions, the comma-separated file (which keeps the last path chosen) and
// the user selection ("Select User"), which returns 1 with the chosen user in
// the buffer or 2 when cancelled.
struct ExchangeContext {
    FileManager& passwords;
    DataFileOpener& opener;
    Prompter& prompter;
    IniStore& positions;
    CsvFile& csv;
    std::function<int(Record& user, QWidget* parent)> selectUser;
};

} // namespace ql
