#pragma once
#include "entries/views/UpdatePasswordsDialog.h"

namespace ql {

class ProgramServices;

// The desktop around an entry form in a running program.
struct EntryDesktop {
    Clock& clock;
    Clipboard& clipboard;
    WindowSystem& windows;
    Launcher& launcher;
    // See EntryFormServices::watchedEntryChanged; empty in the monitor program.
    std::function<void(const QString& userName)> watchedEntryChanged;
};

// Runs the entry form modally for `request` (form_request::Insert, Change or
// Delete) on the caller's open Passwords table: on a change or delete its
// current record is the entry; on an insert its buffer holds what the caller
// prepared (FileManager::primeRecord for a new entry, or the entry to copy).
// `user` is the caller's current user. Returns form_response::Completed when
// the entry was written or deleted, form_response::Cancelled otherwise, and
// leaves the buffer as it was when cancelled.
int runUpdatePasswords(const EntryFormServices& services, EntryFormVariant variant,
                       const EntryFormTools& tools, int request, DataTable& passwords, Record& user,
                       QWidget* parent = nullptr);

// The same with the program's tables, settings and windows; the variant and
// the generator follow the program.
int runUpdatePasswords(int request, DataTable& passwords, Record& user, ProgramServices& program,
                       const EntryDesktop& desktop, QWidget* parent = nullptr);

} // namespace ql
