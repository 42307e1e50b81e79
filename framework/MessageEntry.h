#pragma once
#include <QString>
#include <cstdint>

namespace ql {

// One row of the error manager's message table. Several rows may share an ID;
// the one added last wins.
struct MessageEntry {
    uint16_t id = 0;
    QString message; // body with %File, %ErrorText, ... macros
    QString title;   // box title, and the halt text of a fatal message
    uint8_t fatality = 0;
};

// Values of MessageEntry::fatality and results of the error manager.
namespace Severity {
constexpr int Silent = 0;       // nothing shown; as a result: go on
constexpr int Confirm = 1;      // ask yes or no
constexpr int ProgramError = 2; // treated as Fatal
constexpr int Fatal = 3;        // show, then end the program
constexpr int Cancel = 4;       // as a level like Confirm; as a result: the user refused
constexpr int Notify = 5;       // show and go on
} // namespace Severity

} // namespace ql
