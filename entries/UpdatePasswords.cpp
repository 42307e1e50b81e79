#include "entries/UpdatePasswords.h"
#include "store/FileTargets.h"
#include "entries/ProgramStarter.h"
#include "store/ImportedEntries.h"
#include "entries/StoreUserDefaults.h"
#include "entries/StoredFile.h"
#include "entries/UrlCapture.h"
#include "framework/Pictures.h"
#include "platform/core/DayNumber.h"
#include <QFileInfo>
#include <algorithm>

namespace ql {

namespace se = store_error;

namespace {

const QString kCopyOf = QStringLiteral("Copy of ");
const QString kError = QStringLiteral("Error");
const QString kAddToDefaults = QStringLiteral("Add to Defaults");
const QString kAllFiles = QStringLiteral("All Files|*.*");

// Settings hold numbers as text; anything but a number other than 0 is off.
bool settingOn(SettingsAccess& settings, const QString& key) {
    return settings.getSetting(key).trimmed().toInt() != 0;
}

} // namespace

UpdatePasswords::UpdatePasswords(const EntryFormServices& services, EntryFormVariant variant,
                                 int request, DataTable& passwords, Record& user)
    : services_(services), variant_(variant), request_(request), passwords_(passwords),
      user_(user), saved_(passwords.record()), sendTextTable_(services.scriptPaste) {}

void UpdatePasswords::open() {
    saved_ = entry();
    if (request_ == form_request::Insert) primeInsert(isCopy());
    if (sendTextTable_.open()) sendTexts_ = sendTextTable_.load();
    if (mainProgram()) {
        hideClipboard_ = settingOn(services_.settings, QStringLiteral("QL_HC"));
        skipButtons_ = settingOn(services_.settings, QStringLiteral("QL_Skip"));
        expiryPicture_ = preferredDatePicture(services_.settings.getSetting(QStringLiteral("DateFormat")));
    }
    refreshWindowTitles();
    if (entry().text("P_:PASTE").isEmpty()) entry().setText("P_:PASTE", kDefaultSendText);
    if (sendTextTable_.empty()) sendTextTable_.seedDefaults();
    showPasswords_ = user_.number("U_:SHOWPASSWORDS") != 0;
    if (request_ == form_request::Insert) {
        fillNameAndAddress();
        if (mainProgram() && !entry().text("P_:SERVICE").isEmpty()) renameCopy();
    }
    waitText_ = entry().text("P_:SECONDSTOWAIT");
    monitorAtOpen_ = entry().number("P_:MONITOR") != 0;
    windowTitle_ = chooseWindowTitle();
}

// A copy of an entry (the caller primed its service) keeps all its fields;
// only a new entry gets the note of when it was added and the default wait.
bool UpdatePasswords::isCopy() const {
    return mainProgram() && !entry().text("P_:SERVICE").isEmpty();
}

void UpdatePasswords::primeInsert(bool copy) {
    entry().setText("P_:USER", user_.text("U_:NAME"));
    if (copy) return;
    const QString date = formatDate(services_.clock.today(), QStringLiteral("d4")).trimmed();
    const QString time = formatTime(services_.clock.now(), QStringLiteral("t3")).trimmed();
    entry().setText("P_:MORENOTES", QStringLiteral("Added ") + date + QStringLiteral("  ") + time);
    entry().setNumber("P_:SECONDSTOWAIT", 2);
}

// The main program fills a new entry's name and address only when the caller
// left the name blank; the monitor program fills whichever of the two is blank.
void UpdatePasswords::fillNameAndAddress() {
    const bool nameBlank = entry().text("P_:NAME").isEmpty();
    if (nameBlank) entry().setText("P_:NAME", user_.text("U_:LASTNAMEUSED"));
    if (mainProgram()) {
        if (nameBlank) captureAddress();
    } else if (entry().text("P_:URL").isEmpty()) {
        refreshWindowTitles();
        captureAddress();
    }
}

// The first window title that holds an address, else the clipboard.
void UpdatePasswords::captureAddress() {
    for (const QString& title : windowTitles_) {
        const QString url = urlInText(title);
        if (!url.isEmpty()) {
            entry().setText("P_:URL", url);
            return;
        }
    }
    if (entry().text("P_:URL").isEmpty())
        entry().setText("P_:URL", urlInText(services_.clipboard.text().left(255)));
}

// A copy must differ from its original: "Copy of Mail", then "Copy of Copy of
// Mail" and the time of day, so that copying a copy gives a new service too.
void UpdatePasswords::renameCopy() {
    const QString service = trimmedRight(entry().text("P_:SERVICE")).toString();
    if (!service.startsWith(kCopyOf))
        entry().setText("P_:SERVICE", kCopyOf + service);
    else
        entry().setText("P_:SERVICE",
                        kCopyOf + service + u' ' + QString::number(services_.clock.now()));
}

QString UpdatePasswords::chooseWindowTitle() const {
    switch (request_) {
    case form_request::Insert: return QStringLiteral("Add Password Information");
    case form_request::Change: return QStringLiteral("Change Password Information");
    default: return QStringLiteral("Update the Passwords File");
    }
}

QString UpdatePasswords::lastChangedLine() const {
    const int32_t date = int32_t(entry().number("P_:LASTCHANGEDATE"));
    if (date == 0) return {};
    return QStringLiteral("Last changed ") + formatDate(date, QStringLiteral("d4")) + u' ' +
           formatTime(int32_t(entry().number("P_:LASTCHANGETIME")), QStringLiteral("t3"));
}

void UpdatePasswords::refreshWindowTitles() {
    windowTitles_.clear();
    for (const TopWindow& window : services_.windows.topWindows())
        if (!window.title.isEmpty()) windowTitles_ << window.title.left(kTitleWidth);
}

QString UpdatePasswords::patternForTitle(const QString& title) const {
    const int field = entry().fieldIndex(QLatin1String("P_:WINDOWTITLETOLOCATE"));
    const int width = entry().def().fields[size_t(field)].width;
    return title.size() <= width ? title : title.left(width - 1) + u'*';
}

bool UpdatePasswords::acceptChosenSendText(const QString& text) {
    return fits(entry().fieldIndex(QLatin1String("P_:PASTE")), text,
                QStringLiteral("Text/Keys to Send"));
}

bool UpdatePasswords::advancedEnabled() const {
    return !entry().text("P_:WINDOWTITLETOLOCATE").isEmpty();
}

bool UpdatePasswords::repeatEnabled() const { return entry().number("P_:MONITOR") != 0; }

bool UpdatePasswords::addToDefaultsEnabled() const {
    return !entry().text("P_:PASTE").isEmpty();
}

bool UpdatePasswords::acceptWait() {
    bool number = false;
    const QString typed = waitText_.trimmed();
    const qint64 value = typed.isEmpty() ? 0 : typed.toLongLong(&number);
    const int wait = entry().fieldIndex(QLatin1String("P_:SECONDSTOWAIT"));
    if (!typed.isEmpty() && !number) {
        services_.passwords.validateValue(entry(), wait, -1);
        return false;
    }
    if (!services_.passwords.validateValue(entry(), wait, value)) return false;
    entry().setNumber(wait, value);
    return true;
}

bool UpdatePasswords::acceptWindowTitle() {
    if (entry().number("P_:MONITOR") == 0 || advancedEnabled()) return true;
    tell(QStringLiteral("Information Required"),
         QStringLiteral("If you check the Monitor checkbox, you must enter a Window Title."),
         PromptIcon::Information);
    return false;
}

bool UpdatePasswords::setExpiryText(const QString& typed) {
    const QString text = typed.trimmed();
    if (text == expiryText().trimmed()) return true;
    std::optional<int32_t> day = unformatDate(text, expiryPicture_);
    const bool named = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
    if (!day && named) day = unformatDate(text, u"@d4");
    if (!day) return false;
    entry().setNumber("P_:EXPIRYDATE", *day);
    return true;
}

QString UpdatePasswords::expiryText() const {
    return formatDate(int32_t(entry().number("P_:EXPIRYDATE")), expiryPicture_);
}

// Nothing the user chose is ever cut to fit a field without a word.
bool UpdatePasswords::fits(int field, const QString& text, const QString& title) {
    const int width = entry().def().fields[size_t(field)].width;
    if (text.size() <= width) return true;
    refuseTooLong(text.size(), width, title);
    return false;
}

void UpdatePasswords::refuseTooLong(qsizetype length, int width, const QString& title) {
    tell(title, QStringLiteral("The text is %1 characters long; this field holds at most %2, "
                               "so it was left as it was.")
                    .arg(length)
                    .arg(width),
         PromptIcon::Exclamation);
}

bool UpdatePasswords::paste(int field) {
    if (field < 0) return false;
    // Exactly as copied: a password may end in blanks.
    const QString text = services_.clipboard.text();
    if (!fits(field, text, QStringLiteral("Paste"))) return false;
    entry().setText(field, text);
    return true;
}

void UpdatePasswords::copy(int field) {
    services_.clipboard.setText(QString(kCopyBlanks, u' '));
    services_.clipboard.setText(entry().text(field));
}

QString UpdatePasswords::clipboardDisplay() {
    return services_.clipboard.text().left(kClipboardDisplayWidth);
}

std::optional<QString> UpdatePasswords::changedClipboardDisplay() {
    const uint64_t changes = services_.clipboard.changeCount();
    if (clipboardSeen_ == changes) return std::nullopt;
    clipboardSeen_ = changes;
    return clipboardDisplay();
}

void UpdatePasswords::putClipboardDisplay(const QString& text) {
    services_.clipboard.setText(trimmedRight(text.left(kClipboardDisplayWidth)).toString());
}

UpdatePasswords::AddResult UpdatePasswords::addToDefaults() {
    const QString text = entry().text("P_:PASTE");
    if (text.isEmpty()) return AddResult::Nothing;
    if (sendTextTable_.contains(text)) {
        tell(kAddToDefaults, QStringLiteral("This text is already in the list of defaults."));
        return AddResult::AlreadyListed;
    }
    const PromptButton answer = services_.prompter.ask(
        {kAddToDefaults, QStringLiteral("Add current \"Send Text\" contents to list of defaults?"),
         int(PromptButton::Yes) | int(PromptButton::No), PromptButton::Yes, PromptIcon::Question});
    if (answer != PromptButton::Yes) return AddResult::Declined;
    if (!sendTextTable_.add(text)) return AddResult::Failed;
    sendTexts_ << text;
    return AddResult::Added;
}

void UpdatePasswords::tip() {
    tell(QStringLiteral("Tip"),
         QStringLiteral("This is the number of seconds to wait before looking for the same window "
                        "again.  Enter 0 to stop looking after a window has been found."),
         PromptIcon::Information);
}

void UpdatePasswords::selectProgram() {
    const QString chosen = services_.files.openFile(
        {QStringLiteral("Choose a File"), kAllFiles, entry().text("P_:FILENAME")});
    const int field = entry().fieldIndex(QLatin1String("P_:FILENAME"));
    if (!chosen.isEmpty() && fits(field, chosen, QStringLiteral("Choose a File")))
        entry().setText(field, chosen);
}

void UpdatePasswords::testProgram() {
    const QString line = entry().text("P_:FILENAME");
    if (!line.isEmpty())
        runProgramOrDocument(services_.launcher, services_.prompter, services_.beep, line);
}

// A file that cannot be stored leaves the entry's stored file as it was.
void UpdatePasswords::encryptFile() {
    const QString path =
        services_.files.openFile({QStringLiteral("Choose a File"), kAllFiles, QString()});
    const int nameField = entry().fieldIndex(QLatin1String("P_:ENCRYPTEDFILENAME"));
    if (path.isEmpty() || !fits(nameField, path, QStringLiteral("Choose a File"))) return;
    const stored_file::ReadResult result = stored_file::read(path);
    using Status = stored_file::ReadResult::Status;
    if (result.status == Status::Unreadable) {
        tell(kError, QStringLiteral("Unable to read file.  ") + result.error, PromptIcon::Exclamation);
        return;
    }
    if (result.status == Status::TooLarge) {
        tell(kError,
             QStringLiteral("The file is larger than 64 KB and cannot be stored with this entry."),
             PromptIcon::Exclamation);
        return;
    }
    entry().setText(nameField, path);
    entry().setBlob("P_:ENCRYPTEDFILE", result.bytes);
    tell(QStringLiteral("Complete"), path + QStringLiteral(" read successfully."));
}

void UpdatePasswords::saveToDisk() {
    const QByteArray bytes = entry().blob("P_:ENCRYPTEDFILE");
    if (bytes.isEmpty()) { // nothing to write: an empty file would pass for the stored one
        tell(QStringLiteral("Save to Disk"),
             QStringLiteral("No file is stored with this entry.  Use \"Encrypt\" to store one."),
             PromptIcon::Information);
        return;
    }
    if (bytes.size() > stored_file::kLimit) {
        tell(kError, QStringLiteral("The stored file is larger than 64 KB and cannot be written."),
             PromptIcon::Exclamation);
        return;
    }
    QString path, initial = QFileInfo(entry().text("P_:ENCRYPTEDFILENAME")).fileName();
    while (path.isEmpty()) { // a refused file asks again
        path = services_.files.saveFile({QStringLiteral("Save to..."), kAllFiles, initial});
        if (path.isEmpty()) return;
        initial = path;
        if (refuseDataFolderFile(path, services_.prompter) ||
            !acceptReadableByOthers(path, services_.prompter))
            path.clear();
    }
    const QString error = stored_file::write(path, bytes);
    if (error.isEmpty())
        tell(QStringLiteral("Complete"), path + QStringLiteral(" written successfully."));
    else
        tell(kError, QStringLiteral("Unable to write file.  ") + error, PromptIcon::Exclamation);
}

EntryControl UpdatePasswords::ok() {
    const bool deleting = request_ == form_request::Delete;
    if (!deleting && !entry().sameText(entry().fieldIndex(QLatin1String("P_:PASSWORD")),
                                       entry().text("P_:CONFIRMPASSWORD"), true)) {
        tell(mainProgram() ? kError : QStringLiteral("Cannot Save Changes"),
             QStringLiteral("Passwords do not match."), PromptIcon::Exclamation);
        return EntryControl::Ok;
    }
    entry().setText("P_:CONFIRMPASSWORD", entry().text("P_:PASSWORD"));
    if (!mainProgram()) stamp();
    // An entry on its way out is not judged: the checks guard what is stored.
    if (!deleting) {
        if (const EntryControl focus = checkEntry(); focus != EntryControl::None) return focus;
    }
    if (mainProgram()) stamp();
    // Saved through the form, an imported entry's program line and watched
    // flag are the user's own.
    if (!deleting) imported_entry::confirmAll(entry());
    if (!write()) return EntryControl::Ok;
    afterWrite();
    return EntryControl::None;
}

EntryControl UpdatePasswords::checkEntry() {
    if (entry().text("P_:SERVICE").isEmpty()) {
        tell(kError, QStringLiteral("To identify this record, a service must be entered."),
             PromptIcon::Exclamation);
        return EntryControl::Service;
    }
    if (entry().text("P_:NAME").isEmpty()) {
        tell(kError, QStringLiteral("To identify this record, a name must be entered."),
             PromptIcon::Exclamation);
        return EntryControl::Name;
    }
    if (const EntryControl focus = checkDuplicates(); focus != EntryControl::None) return focus;
    // The controls' own checks, as leaving each of them would run them.
    if (!acceptWait()) return EntryControl::Wait;
    if (!acceptWindowTitle()) return EntryControl::WindowTitle;
    return EntryControl::None;
}

// Service key first, then name key: the message names the first one taken.
EntryControl UpdatePasswords::checkDuplicates() {
    const bool insert = request_ == form_request::Insert;
    const struct {
        const char* key;
        const char* label;
        const char* field;
        EntryControl focus;
    } keys[] = {{"P_:KEYSERVICE", "Service:  ", "P_:SERVICE", EntryControl::Service},
                {"P_:KEYNAME", "Name:  ", "P_:NAME", EntryControl::Name}};
    for (const auto& key : keys) {
        if (!passwords_.duplicates(passwords_.def().keyIndex(QLatin1String(key.key)), insert))
            continue;
        tell(kError, QStringLiteral("This entry duplicates another already entered.\n") +
                         QLatin1String(key.label) + trimmedRight(entry().text(key.field)).toString() + u'.',
             PromptIcon::Exclamation);
        return key.focus;
    }
    return EntryControl::None;
}

void UpdatePasswords::stamp() {
    entry().setNumber("P_:LASTCHANGEDATE", services_.clock.today());
    entry().setNumber("P_:LASTCHANGETIME", services_.clock.now());
}

// The record manager's rules, then the write; failures are reported by the
// manager and leave the form open.
bool UpdatePasswords::write() {
    FileManager& manager = services_.passwords;
    if (request_ == form_request::Delete) return manager.remove(passwords_) == se::NoError;
    if (manager.validateRecord(entry()) >= 0) return false;
    if (request_ == form_request::Change) return manager.update(passwords_) == se::NoError;
    entry().setNumber("P_:ID", 0); // a copy gets a number of its own
    return manager.insert(passwords_) == se::NoError;
}

// Done once the entry is stored, so that a refused write changes nothing else.
void UpdatePasswords::afterWrite() {
    const bool monitored = entry().number("P_:MONITOR") != 0;
    if (mainProgram() && services_.watchedEntryChanged && (monitored || monitored != monitorAtOpen_))
        services_.watchedEntryChanged(user_.text("U_:NAME"));
    user_.setText("U_:LASTNAMEUSED", entry().text("P_:NAME").left(kLastNameWidth));
    storeLastNameUsed(services_.users, user_);
}

void UpdatePasswords::cancel() { entry() = saved_; }

void UpdatePasswords::tell(const QString& title, const QString& text, PromptIcon icon) {
    services_.prompter.ask({title, text, int(PromptButton::Ok), PromptButton::Ok, icon});
}

} // namespace ql
