#include "entries/BrowsePasswords.h"
#include "entries/ClipboardFilter.h"
#include "entries/EntryForm.h"
#include "entries/ListedUsers.h"
#include "entries/ProgramStarter.h"
#include "monitor/StoreWatchedEntries.h"
#include "monitor/WindowMonitor.h"
#include "store/Layouts.h"
#include <QUrl>

namespace ql {

namespace {

constexpr int kClipboardDisplayWidth = 90;

const char* fieldName(CopyField field) {
    switch (field) {
    case CopyField::Name: return "P_:NAME";
    case CopyField::Password: return "P_:PASSWORD";
    case CopyField::Url: return "P_:URL";
    case CopyField::Notes: return "P_:NOTES";
    case CopyField::MoreNotes: return "P_:MORENOTES";
    case CopyField::Service: return "P_:SERVICE";
    }
    return "";
}

QString datePicture(const QString& token) {
    const QString trimmed = token.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("@d17") : u'@' + trimmed;
}

} // namespace

BrowsePasswords::BrowsePasswords(const BrowseServices& services)
    : services_(services), passwords_(passwordsTable()), users_(usersTable()), user_(usersTable()),
      model_(passwords_) {
    model_.setDatePicture(datePicture(services.dateFormat));
}

BrowsePasswords::~BrowsePasswords() { close(); }

bool BrowsePasswords::open(const UserChoice& choose) {
    if (services_.passwords.open(passwords_) != store_error::NoError) return false;
    if (services_.users.open(users_) != store_error::NoError) return false;
    if (choose(user_) != form_response::Completed) return false;
    showUser();
    return true;
}

void BrowsePasswords::close() {
    if (listed_ && services_.listedUsers) services_.listedUsers->closed(listedUser_);
    listed_ = false;
    passwords_.close();
    users_.close();
}

// The monitor watches the user's entries while the list shows them.
void BrowsePasswords::showUser() {
    const QString name = user_.text("U_:NAME");
    if (services_.listedUsers) {
        if (listed_) services_.listedUsers->closed(listedUser_);
        services_.listedUsers->opened(name);
    }
    listedUser_ = name;
    listed_ = true;
    model_.show(name, model_.tab(), services_.clock.today());
}

QString BrowsePasswords::windowTitle() const {
    return QStringLiteral("Passwords - ") + user_.text("U_:NAME");
}

int BrowsePasswords::refresh(int row) {
    const std::optional<RangeMark> place = model_.placeOf(row);
    model_.refresh(services_.clock.today());
    const int found = place ? model_.rowOfPlace(*place) : -1;
    return found >= 0 ? found : std::min(row, model_.rowCount() - 1);
}

int BrowsePasswords::search(const QString& typed, int row) { return model_.searchKeeping(typed, row); }

void BrowsePasswords::selectTab(ListTab tab) {
    model_.show(user_.text("U_:NAME"), tab, services_.clock.today());
}

std::optional<int> BrowsePasswords::locate(const QString& typed) {
    if (typed.isEmpty()) return std::nullopt;
    const int field = model_.sortField();
    QVariant value(typed);
    if (isNumberType(passwords_.def().fields[size_t(field)].type)) {
        const std::optional<int32_t> day = unformatDate(typed, datePicture(services_.dateFormat));
        if (!day || *day == 0) return std::nullopt;
        value = QVariant(qint64(*day));
    }
    const int row = model_.locate(value);
    return row < 0 ? std::nullopt : std::optional<int>(row);
}

std::optional<QString> BrowsePasswords::passwordOf(int row) {
    if (!loadEntry(row)) return std::nullopt;
    return passwords_.record().text("P_:PASSWORD");
}

bool BrowsePasswords::loadEntry(int row) {
    const qint64 number = model_.recordNumber(row);
    if (number <= 0 || passwords_.getByRecordNumber(number) != store_error::NoError) return false;
    // Only the list's own user's entries are ever acted on.
    return passwords_.record().sameText(passwords_.record().fieldIndex("P_:USER"),
                                        user_.text("U_:NAME"));
}

int BrowsePasswords::add(const FormRunner& form, int row) {
    services_.passwords.primeRecord(passwords_.record());
    return rowAfterForm(form(form_request::Insert, passwords_, user_), form_request::Insert, row);
}

// The new record starts as the highlighted entry; the form gives it a number
// of its own and a service that differs.
int BrowsePasswords::copy(const FormRunner& form, int row) {
    return runForm(form, form_request::Insert, row);
}

int BrowsePasswords::change(const FormRunner& form, int row) {
    return runForm(form, form_request::Change, row);
}

int BrowsePasswords::remove(const FormRunner& form, int row) {
    return runForm(form, form_request::Delete, row);
}

int BrowsePasswords::runForm(const FormRunner& form, int request, int row) {
    if (!loadEntry(row)) {
        model_.refresh(services_.clock.today()); // the entry went away meanwhile
        return std::min(row, model_.rowCount() - 1);
    }
    return rowAfterForm(form(request, passwords_, user_), request, row);
}

// The entry written, else the entry highlighted before, else the same row.
int BrowsePasswords::rowAfterForm(int response, int request, int row) {
    const int kept = refresh(row);
    if (response == form_response::Completed && request != form_request::Delete) {
        const int written = model_.rowOf(passwords_.record(), passwords_.recordNumber());
        if (written >= 0) return written;
    }
    return kept;
}

void BrowsePasswords::copyField(int row, CopyField field) {
    if (!loadEntry(row)) return;
    services_.clipboard.setText(passwords_.record().text(QLatin1String(fieldName(field))));
}

// The desktop decides what opens the address; a failure says nothing.
void BrowsePasswords::launchUrl(int row) {
    if (!loadEntry(row)) return;
    const QString url = passwords_.record().text("P_:URL").trimmed();
    if (!url.isEmpty()) services_.launcher.openUrl(QUrl::fromUserInput(url));
}

// The entry's program first (a failure is reported, and the send still goes
// to the queue), then a send of the entry due after its wait.
void BrowsePasswords::send(int row) {
    if (!loadEntry(row)) return;
    Record& entry = passwords_.record();
    const QString program = trimmedRight(entry.text("P_:FILENAME")).toString();
    if (!program.isEmpty() && program.toUpper() != QLatin1String("N/A") && mayStart(program))
        runProgramOrDocument(services_.launcher, services_.prompter, services_.beep, program);
    if (services_.monitor) services_.monitor->queueOneShotSend(StoreWatchedEntries::entryFrom(entry));
}

// An imported entry's program line starts only once the user agreed to it;
// the agreement is stored with the entry.
bool BrowsePasswords::mayStart(const QString& program) {
    switch (consentToProgram(services_.prompter, passwords_.record(), program)) {
    case ProgramConsent::Trusted: return true;
    case ProgramConsent::Refused: return false;
    case ProgramConsent::ConfirmedNow: break;
    }
    passwords_.put();
    return true;
}

bool BrowsePasswords::selectUser(const UserChoice& choose) {
    const Record previous = user_;
    if (choose(user_) == form_response::Completed) {
        showUser();
        return true;
    }
    if (!reloadUser(previous)) return false;
    showUser();
    return true;
}

// The previous user as stored now; false when the user no longer exists.
bool BrowsePasswords::reloadUser(const Record& previous) {
    users_.record() = previous;
    if (users_.fetch(users_.def().keyIndex("U_:KEYNAME")) != store_error::NoError) return false;
    user_ = users_.record();
    return true;
}

bool BrowsePasswords::fetchUser(const QString& name) {
    users_.record().clear();
    users_.record().setText("U_:NAME", name);
    if (users_.fetch(users_.def().keyIndex("U_:KEYNAME")) != store_error::NoError) return false;
    user_ = users_.record();
    return true;
}

bool BrowsePasswords::showsUser(const QString& name) const {
    return listed_ && user_.sameText(user_.fieldIndex("U_:NAME"), name);
}

// The monitor is told only of a new name: the watched entries moved with it.
bool BrowsePasswords::followUser(const QString& name) {
    if (!fetchUser(name)) return false;
    if (user_.text("U_:NAME") == listedUser_) return true;
    showUser();
    return true;
}

QString BrowsePasswords::filterClipboard() {
    const QString filtered = filterListClipboard(services_.clipboard.text());
    services_.clipboard.setText(filtered);
    return filtered;
}

std::optional<QString> BrowsePasswords::changedClipboardDisplay() {
    const uint64_t changes = services_.clipboard.changeCount();
    if (clipboardSeen_ == changes) return std::nullopt;
    clipboardSeen_ = changes;
    return services_.clipboard.text().left(kClipboardDisplayWidth);
}

void BrowsePasswords::putClipboardDisplay(const QString& text) {
    services_.clipboard.setText(trimmedRight(text.left(kClipboardDisplayWidth)).toString());
}

} // namespace ql
