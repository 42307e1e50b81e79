#pragma once
#include "entries/PasswordListModel.h"
#include "platform/core/Clipboard.h"
#include "platform/core/Clock.h"
#include "platform/core/Launcher.h"
#include "platform/core/Prompter.h"
#include "store/FileManager.h"
#include <functional>
#include <optional>

namespace ql {

class ListedUsers;
class WindowMonitor;

// What the password list works through.
struct BrowseServices {
    Clock& clock;
    Prompter& prompter;
    Clipboard& clipboard;
    Launcher& launcher;
    FileManager& passwords;
    FileManager& users;
    // Queues "Send" requests; null where no monitor runs (nothing is queued then).
    WindowMonitor* monitor = nullptr;
    // Tells the monitor which users have a list open; may be null.
    ListedUsers* listedUsers = nullptr;
    std::function<void()> beep;
    // The date picture token of the preferences ("d4"); blank for the desktop's short date.
    QString dateFormat;
    // The preference that hides the clipboard display.
    bool hideClipboard = false;
};

// The fields the copy buttons put on the clipboard.
enum class CopyField { Name, Password, Url, Notes, MoreNotes, Service };

// The password list without widgets: one user's entries in five orders, and
// what its buttons and menu do to the highlighted entry. Each list has its own
// Passwords table (its own connection) and its own current user.
class BrowsePasswords {
public:
    // Chooses the list's user into the Users buffer: 1 when one was chosen.
    using UserChoice = std::function<int(Record& user)>;
    // Runs the entry form for a request on the table and the list's user;
    // returns the form's response (1 when the entry was written or deleted).
    using FormRunner = std::function<int(int request, DataTable& passwords, Record& user)>;

    explicit BrowsePasswords(const BrowseServices& services);
    ~BrowsePasswords();

    // Opens the tables and establishes the user; false when no user results
    // (the window then closes before it shows anything). Then shows the
    // "Service" order.
    bool open(const UserChoice& choose);
    // Lets the user's watched entries go (once per opened list).
    void close();

    QString windowTitle() const;
    const Record& user() const { return user_; }
    DataTable& passwords() { return passwords_; }
    PasswordListModel& model() { return model_; }
    Prompter& prompter() { return services_.prompter; }
    bool hideClipboard() const { return services_.hideClipboard; }

    void selectTab(ListTab tab);
    // Sorts by a column among the tab's entries (see PasswordListModel::sortBy).
    void sortBy(int column) { model_.sortBy(column); }
    ListTab tab() const { return model_.tab(); }
    // Launch URL, Send, Display All and Copy need an entry.
    bool hasEntries() const { return model_.rowCount() > 0; }
    // Reads the entries again; returns the row to highlight: the entry of
    // `row` where it is now, or the same row when that entry is gone.
    int refresh(int row = 0);

    // Shows only the entries holding every word of `typed` (all of them for
    // blank text); returns the row to highlight: the entry of `row` where it
    // is now, else the first row.
    int search(const QString& typed, int row);

    // The password of the entry in a row, read for an export; nullopt when
    // the row holds no entry of this user.
    std::optional<QString> passwordOf(int row);

    // The row of the first entry at or after typed text on the sort column's field
    // (a date on the date tabs); nullopt when nothing is to be located.
    std::optional<int> locate(const QString& typed);

    // Loads the entry of a row into the table's buffer, as every action does
    // first; false when the row holds no entry of this user.
    bool loadEntry(int row);
    // The entry form; each returns the row to highlight afterwards.
    int add(const FormRunner& form, int row);
    int copy(const FormRunner& form, int row);
    int change(const FormRunner& form, int row);
    int remove(const FormRunner& form, int row);

    void copyField(int row, CopyField field);
    void launchUrl(int row);
    // Starts the entry's program line (an imported one after the user agreed),
    // then queues its send text.
    void send(int row);
    // "Select User": true when the list goes on (with the new user or the
    // previous one); false when the previous user is gone and the list closes.
    bool selectUser(const UserChoice& choose);
    // Whether the list shows the entries of the user of that name.
    bool showsUser(const QString& name) const;
    // The list's user was changed elsewhere (in the user setup) and is now
    // stored under `name`: the list takes him as stored, so a new name is its
    // title and the owner of what it adds. False when no such user is stored.
    bool followUser(const QString& name);
    // Filters the clipboard text; returns what it now holds.
    QString filterClipboard();

    // The clipboard display: its text when the clipboard changed since the
    // last call, and what finishing an edit of it does.
    std::optional<QString> changedClipboardDisplay();
    void putClipboardDisplay(const QString& text);

private:
    bool mayStart(const QString& program);
    int runForm(const FormRunner& form, int request, int row);
    int rowAfterForm(int response, int request, int row);
    void showUser();
    bool reloadUser(const Record& previous);
    bool fetchUser(const QString& name);

    BrowseServices services_;
    DataTable passwords_;
    DataTable users_;
    Record user_;
    PasswordListModel model_;
    QString listedUser_;
    bool listed_ = false;
    std::optional<uint64_t> clipboardSeen_;
};

} // namespace ql
