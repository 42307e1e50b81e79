#pragma once
#include <QString>

namespace ql {

class Record;

// An entry read from a comma-separated file is not vouched for by anyone: its
// program line is not started and its watched flag does not make the monitor
// type anything until the user has confirmed them. The entry carries what is
// still unconfirmed in its start type (P_:STARTTYPE), a field no exchange file
// can fill, so the mark lasts across runs and goes with the entry into the
// user's own synchronization files.
namespace imported_entry {

// Neither the program line nor the watched flag confirmed.
inline const QString kUnconfirmed = QStringLiteral("Unconfirmed Import");
// The program line confirmed at a Send; the watched flag not yet.
inline const QString kWatchUnconfirmed = QStringLiteral("Unconfirmed Watch");

// On import: marks the entry when it has a program line or is watched.
void markImported(Record& entry);
bool programConfirmed(const Record& entry);
bool watchConfirmed(const Record& entry);
// The user agreed to start the program line.
void confirmProgram(Record& entry);
// The user saved the entry through the entry form: nothing is left to confirm.
void confirmAll(Record& entry);

} // namespace imported_entry

} // namespace ql
