#pragma once
#include "entries/EntryForm.h"
#include "entries/SendTextList.h"
#include "platform/recordstore/DataTable.h"
#include <QStringList>
#include <optional>

namespace ql {

// The password entry form without widgets. It edits the caller's Passwords
// record buffer in place for one request (insert, change or delete) and, on
// OK, writes it through the caller's table: on a change the table's current
// record is the entry being changed; on an insert the buffer holds what the
// caller prepared (the table's defaults, or the entry to copy).
class UpdatePasswords {
public:
    static constexpr int kClipboardDisplayWidth = 90;
    static constexpr int kCopyBlanks = 512;
    static constexpr int kTitleWidth = 254;
    static constexpr int kLastNameWidth = 60;
    static inline const QString kDefaultSendText = QStringLiteral("[Name][Tab][Password][Enter]");

    // What "Add to Defaults" came to.
    enum class AddResult { Nothing, AlreadyListed, Declined, Failed, Added };

    UpdatePasswords(const EntryFormServices& services, EntryFormVariant variant, int request,
                    DataTable& passwords, Record& user);

    // The opening steps: priming of an insert, the lists, the default send
    // text, the name and address of a new entry, the renaming of a copy.
    void open();

    int request() const { return request_; }
    bool mainProgram() const { return variant_ == EntryFormVariant::MainProgram; }
    Record& entry() { return passwords_.record(); }
    const Record& entry() const { return passwords_.record(); }

    const QString& windowTitle() const { return windowTitle_; }
    // "Last changed ..." or empty for an entry never saved.
    QString lastChangedLine() const;
    const QStringList& sendTexts() const { return sendTexts_; }
    const QStringList& windowTitles() const { return windowTitles_; }
    // Lists the titles of the open top-level windows again.
    void refreshWindowTitles();
    // A title chosen from the list as the window title to locate: one longer
    // than the field becomes its first characters and "*", a pattern that
    // still fits that window.
    QString patternForTitle(const QString& title) const;
    // A send text chosen from the stored ones: false (after a message) when
    // it is longer than the entry's field.
    bool acceptChosenSendText(const QString& text);
    bool showPasswords() const { return showPasswords_; }
    bool hideClipboard() const { return hideClipboard_; }
    // Tab passes over the Paste and Copy buttons.
    bool skipFieldButtons() const { return skipButtons_; }

    bool advancedEnabled() const;
    bool repeatEnabled() const;
    bool addToDefaultsEnabled() const;

    void setText(int field, const QString& text) { entry().setText(field, text); }
    // The wait as typed; judged by acceptWait() and at OK.
    void setWaitText(const QString& typed) { waitText_ = typed; }
    const QString& waitText() const { return waitText_; }
    // The range rule on the typed wait: false after the range message.
    bool acceptWait();
    // A watched entry needs a window title: false after the message.
    bool acceptWindowTitle();
    // The expiry date is shown and read in the user's "Date Format" (the
    // desktop's short date when none is set); an ISO date (1959-10-31) or one
    // with its month's name ("October 31, 1959") reads too, blank is none.
    // False, the date unchanged, when the text is no date; the text as shown
    // leaves the date as it is (a two-digit year keeps its century).
    bool setExpiryText(const QString& typed);
    QString expiryText() const;

    // Paste: the field takes the clipboard text without trailing blanks;
    // false (after a message) when the text is longer than the field.
    bool paste(int field);
    // Copy: the clipboard is first overwritten with blanks, then given the field.
    void copy(int field);
    // The clipboard as the display shows it, and what completing the display does.
    QString clipboardDisplay();
    // The display's text when the clipboard changed since the last call.
    std::optional<QString> changedClipboardDisplay();
    void putClipboardDisplay(const QString& text);

    AddResult addToDefaults();
    void tip();
    void selectProgram();
    void testProgram();
    void encryptFile();
    void saveToDisk();

    // OK: the checks in order, then the write. None when the entry was
    // written (the form closes), else the control that keeps the focus.
    EntryControl ok();
    // Cancel: the buffer goes back to what it held when the form opened.
    void cancel();
    // Tells that a text of `length` characters was refused by a field of
    // `width`, in the words the Paste buttons use.
    void refuseTooLong(qsizetype length, int width, const QString& title);

private:
    bool isCopy() const;
    void primeInsert(bool copy);
    void fillNameAndAddress();
    void captureAddress();
    void renameCopy();
    QString chooseWindowTitle() const;
    bool fits(int field, const QString& text, const QString& title);
    void tell(const QString& title, const QString& text, PromptIcon icon = PromptIcon::None);
    EntryControl checkEntry();
    EntryControl checkDuplicates();
    void stamp();
    bool write();
    void afterWrite();

    EntryFormServices services_;
    EntryFormVariant variant_;
    int request_;
    DataTable& passwords_;
    Record& user_;
    Record saved_;
    SendTextList sendTextTable_;
    QStringList sendTexts_;
    QStringList windowTitles_;
    QString windowTitle_;
    QString waitText_;
    QString expiryPicture_ = QStringLiteral("@d17");
    bool monitorAtOpen_ = false;
    bool showPasswords_ = false;
    bool hideClipboard_ = false;
    bool skipButtons_ = false;
    std::optional<uint64_t> clipboardSeen_;
};

} // namespace ql
