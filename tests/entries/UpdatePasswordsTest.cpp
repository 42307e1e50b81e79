#include "EntryFormFixture.h"
#include "entries/SendTextList.h"
#include "entries/UpdatePasswords.h"
#include "framework/Pictures.h"
#include "store/ImportedEntries.h"
#include <QFile>

using namespace ql;

namespace {

class EntryForm : public ql::test::EntryFormFixture {
protected:
    std::unique_ptr<UpdatePasswords> open(int request,
                                          EntryFormVariant variant = EntryFormVariant::MainProgram) {
        auto form = std::make_unique<UpdatePasswords>(formServices(), variant, request, passwords_,
                                                      user_);
        form->open();
        return form;
    }
    std::unique_ptr<UpdatePasswords> openNew(EntryFormVariant variant = EntryFormVariant::MainProgram) {
        primeNew();
        return open(form_request::Insert, variant);
    }
    // An insert opened on a copy of amy's entry `service`/`name`.
    std::unique_ptr<UpdatePasswords> openCopy(const QString& service, const QString& name,
                                              EntryFormVariant variant = EntryFormVariant::MainProgram) {
        makeCurrent(storeEntry(service, name));
        return open(form_request::Insert, variant);
    }
    void fill(UpdatePasswords& form, const QString& service, const QString& name,
              const QString& password = QStringLiteral("pw"), const QString& confirm = {}) {
        form.entry().setText("P_:SERVICE", service);
        form.entry().setText("P_:NAME", name);
        form.entry().setText("P_:PASSWORD", password);
        form.entry().setText("P_:CONFIRMPASSWORD", confirm.isNull() ? password : confirm);
    }
};

} // namespace

TEST_F(EntryForm, ANewEntryIsPrimedWithItsUserDateWaitSendTextAndLastName) {
    auto form = openNew();
    const Record& e = form->entry();
    EXPECT_EQ(e.text("P_:USER"), "amy");
    EXPECT_EQ(e.text("P_:MORENOTES"), "Added December 8, 2026  5:43PM");
    EXPECT_EQ(e.number("P_:SECONDSTOWAIT"), 2);
    EXPECT_EQ(form->waitText(), "2");
    EXPECT_EQ(e.text("P_:PASTE"), "[Name][Tab][Password][Enter]");
    EXPECT_EQ(e.text("P_:NAME"), "amy.smith");
    EXPECT_EQ(form->windowTitle(), "Add Password Information");
    EXPECT_EQ(form->lastChangedLine(), "");
    EXPECT_TRUE(prompter_.asked.empty());
}

TEST_F(EntryForm, WindowTitlesShowTheRequestAndTheLastChangeOfAStoredEntry) {
    const qint64 row = storeEntry("Mail", "jdoe");
    makeCurrent(row);
    passwords_.record().setNumber("P_:LASTCHANGEDATE", dayNumber(QDate(1959, 10, 31)));
    passwords_.record().setNumber("P_:LASTCHANGETIME", timeNumber(QTime(17, 30)));
    auto change = open(form_request::Change);
    EXPECT_EQ(change->windowTitle(), "Change Password Information");
    EXPECT_EQ(change->lastChangedLine(), "Last changed October 31, 1959 5:30PM");
    EXPECT_EQ(change->entry().text("P_:NAME"), "jdoe"); // a change keeps the stored name
    change.reset();
    makeCurrent(row);
    EXPECT_EQ(open(form_request::Delete)->windowTitle(), "Update the Passwords File");
}

TEST_F(EntryForm, TheAddressOfANewEntryComesFromAWindowTitleElseFromTheClipboard) {
    windows_.addWindow(101, "Quillock");
    windows_.addWindow(102, "Sign in - http://mail.example.com/login?next=inbox - Web Browser");
    windows_.addWindow(103, "Other - https://second.example.org");
    clipboard_.contents = "see https://clipboard.example.net";
    EXPECT_EQ(openNew()->entry().text("P_:URL"), "http://mail.example.com/login?next=inbox");

    windows_.windows.clear();
    windows_.addWindow(104, "Bank \"HTTPS://bank.example.com/\" - Browser");
    EXPECT_EQ(openNew()->entry().text("P_:URL"), "HTTPS://bank.example.com/");

    windows_.windows.clear();
    windows_.addWindow(105, "Terminal");
    clipboard_.contents = "go to www.example.com today";
    EXPECT_EQ(openNew()->entry().text("P_:URL"), "www.example.com");

    clipboard_.contents = "nothing to see";
    EXPECT_EQ(openNew()->entry().text("P_:URL"), "");
}

TEST_F(EntryForm, AddressCaptureRunsOnlyOnTheVariantsOwnConditions) {
    windows_.addWindow(101, "Shop - http://shop.example.com - Browser");
    // The main program: only for a new entry whose name the caller left blank.
    primeNew();
    passwords_.record().setText("P_:NAME", u"given");
    EXPECT_EQ(open(form_request::Insert)->entry().text("P_:URL"), "");
    // The monitor program: whenever the address is blank, the name kept.
    primeNew();
    passwords_.record().setText("P_:NAME", u"given");
    auto monitor = open(form_request::Insert, EntryFormVariant::MonitorProgram);
    EXPECT_EQ(monitor->entry().text("P_:URL"), "http://shop.example.com");
    EXPECT_EQ(monitor->entry().text("P_:NAME"), "given");
    primeNew();
    passwords_.record().setText("P_:URL", u"kept.example.com");
    EXPECT_EQ(open(form_request::Insert, EntryFormVariant::MonitorProgram)->entry().text("P_:URL"),
              "kept.example.com");
}

TEST_F(EntryForm, AnEmptySendTextListGetsTheEightDefaultsOnceInOrder) {
    auto first = openNew();
    EXPECT_TRUE(first->sendTexts().isEmpty()); // seen from the next opening on
    EXPECT_EQ(storedSendTexts(), SendTextList::defaults());
    first.reset();
    auto second = openNew();
    EXPECT_EQ(second->sendTexts(), SendTextList::defaults());
    EXPECT_EQ(storedSendTexts().size(), 8);
}

TEST_F(EntryForm, CopyingRenamesTheServiceSoThatCopiesOfCopiesDiffer) {
    EXPECT_EQ(openCopy("Mail", "jdoe")->entry().text("P_:SERVICE"), "Copy of Mail");
    clock_.time = 4567891;
    auto again = openCopy("Copy of Mail", "jdoe");
    EXPECT_EQ(again->entry().text("P_:SERVICE"), "Copy of Copy of Mail 4567891");
    EXPECT_EQ(again->entry().text("P_:NAME"), "jdoe");
    again.reset();
    EXPECT_EQ(openCopy("Web", "jdoe", EntryFormVariant::MonitorProgram)->entry().text("P_:SERVICE"),
              "Web");
}

// Only a new entry gets the note of when it was added and the default wait.
TEST_F(EntryForm, ACopyKeepsEveryFieldOfItsOriginalButItsService) {
    makeCurrent(storeEntry("Mail", "jdoe "));
    passwords_.record().setText("P_:MORENOTES", u"recovery codes in the safe");
    passwords_.record().setNumber("P_:SECONDSTOWAIT", 9);
    passwords_.record().setText("P_:PASSWORD", u"  x1  ");
    auto form = open(form_request::Insert);
    const Record& e = form->entry();
    EXPECT_EQ(e.text("P_:SERVICE"), "Copy of Mail");
    EXPECT_EQ(e.text("P_:NAME"), "jdoe ");
    EXPECT_EQ(e.text("P_:MORENOTES"), "recovery codes in the safe");
    EXPECT_EQ(e.number("P_:SECONDSTOWAIT"), 9);
    EXPECT_EQ(form->waitText(), "9");
    EXPECT_EQ(e.text("P_:PASSWORD"), "  x1  ");
    EXPECT_EQ(e.text("P_:USER"), "amy");
}

TEST_F(EntryForm, MismatchedConfirmationIsRefusedOnChangeButNotOnDelete) {
    const qint64 row = storeEntry("Mail", "jdoe");
    makeCurrent(row);
    passwords_.record().setText("P_:CONFIRMPASSWORD", u"old");
    auto change = open(form_request::Change);
    EXPECT_EQ(change->ok(), EntryControl::Ok);
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].title, "Error");
    EXPECT_EQ(prompter_.asked[0].text, "Passwords do not match.");
    // Case counts in a password.
    change->entry().setText("P_:CONFIRMPASSWORD", u"X1");
    EXPECT_EQ(change->ok(), EntryControl::Ok);
    change.reset();

    makeCurrent(row);
    passwords_.record().setText("P_:CONFIRMPASSWORD", u"old");
    EXPECT_EQ(open(form_request::Delete)->ok(), EntryControl::None);
    EXPECT_EQ(storedEntries(), 0);

    primeNew();
    auto monitor = open(form_request::Insert, EntryFormVariant::MonitorProgram);
    fill(*monitor, "Web", "jdoe", "a", "b");
    EXPECT_EQ(monitor->ok(), EntryControl::Ok);
    EXPECT_EQ(prompter_.asked.back().title, "Cannot Save Changes");
}

TEST_F(EntryForm, ServiceAndNameAreRequiredInThatOrder) {
    auto form = openNew();
    fill(*form, "", "");
    EXPECT_EQ(form->ok(), EntryControl::Service);
    fill(*form, "Mail", "");
    EXPECT_EQ(form->ok(), EntryControl::Name);
    EXPECT_EQ(askedTitles(), (QStringList{"Error", "Error"}));
    EXPECT_EQ(prompter_.asked[0].text, "To identify this record, a service must be entered.");
    EXPECT_EQ(prompter_.asked[1].text, "To identify this record, a name must be entered.");
    EXPECT_EQ(storedEntries(), 0);
}

TEST_F(EntryForm, ASecondEntryWithTheSameServiceAndNameIsRefusedByTheServiceKey) {
    storeEntry("Mail", "jdoe");
    storeEntry("Mail", "jdoe", "bob"); // another user's entry does not count
    auto form = openNew();
    fill(*form, "MAIL", "JDoe");
    EXPECT_EQ(form->ok(), EntryControl::Service);
    ASSERT_EQ(prompter_.asked.size(), 1u);
    EXPECT_EQ(prompter_.asked[0].text,
              "This entry duplicates another already entered.\nService:  MAIL.");
    EXPECT_EQ(storedEntries(), 2);
    // A changed entry does not clash with itself; the same URL is no clash either.
    form.reset();
    makeCurrent(storeEntry("Bank", "jdoe"));
    auto change = open(form_request::Change);
    change->entry().setText("P_:NOTES", u"changed");
    EXPECT_EQ(change->ok(), EntryControl::None);
    EXPECT_EQ(stored("Bank", "jdoe").text("P_:NOTES"), "changed");
}

TEST_F(EntryForm, AWatchedEntryNeedsAWindowTitle) {
    auto form = openNew();
    fill(*form, "Mail", "jdoe");
    form->entry().setNumber("P_:MONITOR", 1);
    EXPECT_FALSE(form->acceptWindowTitle());
    EXPECT_EQ(form->ok(), EntryControl::WindowTitle);
    EXPECT_EQ(askedTitles(), (QStringList{"Information Required", "Information Required"}));
    EXPECT_EQ(prompter_.asked[0].text,
              "If you check the Monitor checkbox, you must enter a Window Title.");
    EXPECT_FALSE(form->advancedEnabled());
    EXPECT_TRUE(form->repeatEnabled());
    form->entry().setText("P_:WINDOWTITLETOLOCATE", u"Login*");
    EXPECT_TRUE(form->acceptWindowTitle());
    EXPECT_TRUE(form->advancedEnabled());
    EXPECT_EQ(storedEntries(), 0);
}

TEST_F(EntryForm, TheWaitIsJudgedAsTypedSoThatAValueTheByteCannotHoldIsRefused) {
    auto form = openNew();
    fill(*form, "Mail", "jdoe");
    form->setWaitText("300");
    EXPECT_FALSE(form->acceptWait());
    EXPECT_EQ(form->entry().number("P_:SECONDSTOWAIT"), 2); // not 300 wrapped into 44
    EXPECT_EQ(form->ok(), EntryControl::Wait);
    ASSERT_EQ(prompter_.asked.size(), 2u);
    EXPECT_EQ(prompter_.asked[0].title, "Range Error");
    EXPECT_TRUE(prompter_.asked[0].text.contains("0 and 199")) << prompter_.asked[0].text.toStdString();
    EXPECT_EQ(storedEntries(), 0);
    form->setWaitText("200");
    EXPECT_FALSE(form->acceptWait());
    form->setWaitText("199");
    EXPECT_EQ(form->ok(), EntryControl::None);
    EXPECT_EQ(stored("Mail", "jdoe").number("P_:SECONDSTOWAIT"), 199);
}

TEST_F(EntryForm, AddToDefaultsKnowsTextsAlreadyListedAndAsksBeforeAdding) {
    auto form = openNew(); // seeds the defaults
    EXPECT_EQ(form->addToDefaults(), UpdatePasswords::AddResult::AlreadyListed);
    EXPECT_EQ(prompter_.asked.back().text, "This text is already in the list of defaults.");
    EXPECT_EQ(prompter_.asked.back().title, "Add to Defaults");

    form->entry().setText("P_:PASTE", u"[name][TAB]"); // stored texts compare exactly
    prompter_.answers = {PromptButton::No, PromptButton::Yes};
    EXPECT_EQ(form->addToDefaults(), UpdatePasswords::AddResult::Declined);
    EXPECT_EQ(prompter_.asked.back().text, "Add current \"Send Text\" contents to list of defaults?");
    EXPECT_EQ(prompter_.asked.back().icon, PromptIcon::Question);
    EXPECT_EQ(form->addToDefaults(), UpdatePasswords::AddResult::Added);
    EXPECT_EQ(form->sendTexts().back(), "[name][TAB]");
    EXPECT_EQ(storedSendTexts().size(), 9);

    form->entry().setText("P_:PASTE", u"");
    EXPECT_FALSE(form->addToDefaultsEnabled());
    EXPECT_EQ(form->addToDefaults(), UpdatePasswords::AddResult::Nothing);
}

TEST_F(EntryForm, SavingStampsTheEntryRemembersTheNameAndMarksWatchedUsers) {
    auto form = openNew();
    fill(*form, "Mail", "jdoe.on.a.name.longer.than.sixty.characters.to.see.it.cut.there");
    form->entry().setNumber("P_:MONITOR", 1);
    form->entry().setText("P_:WINDOWTITLETOLOCATE", u"Mail*");
    EXPECT_EQ(form->ok(), EntryControl::None);
    const Record saved = stored("Mail", form->entry().text("P_:NAME"));
    EXPECT_EQ(saved.number("P_:LASTCHANGEDATE"), clock_.day);
    EXPECT_EQ(saved.number("P_:LASTCHANGETIME"), clock_.time);
    EXPECT_EQ(saved.number("P_:LEVEL"), 10000);
    EXPECT_GT(saved.number("P_:ID"), 0);
    EXPECT_EQ(watched_, QStringList{"amy"});
    const QString sixty = QStringLiteral("jdoe.on.a.name.longer.than.sixty.characters.to.see.it.cut.th");
    EXPECT_EQ(storedUser("amy").text("U_:LASTNAMEUSED"), sixty);
    EXPECT_EQ(user_.text("U_:LASTNAMEUSED"), sixty);
}

TEST_F(EntryForm, OnlyAWatchedEntryOrOneThatStoppedBeingWatchedReloadsTheMonitor) {
    const qint64 row = storeEntry("Mail", "jdoe");
    makeCurrent(row);
    open(form_request::Change)->ok();
    EXPECT_TRUE(watched_.isEmpty());

    makeCurrent(row);
    passwords_.record().setNumber("P_:MONITOR", 1);
    passwords_.record().setText("P_:WINDOWTITLETOLOCATE", u"Mail*");
    passwords_.put();
    auto off = open(form_request::Change);
    off->entry().setNumber("P_:MONITOR", 0);
    EXPECT_EQ(off->ok(), EntryControl::None);
    EXPECT_EQ(watched_, QStringList{"amy"});

    // The monitor program has no frame to reload.
    primeNew();
    auto monitor = open(form_request::Insert, EntryFormVariant::MonitorProgram);
    fill(*monitor, "Web", "jdoe");
    monitor->entry().setNumber("P_:MONITOR", 1);
    monitor->entry().setText("P_:WINDOWTITLETOLOCATE", u"Web*");
    EXPECT_EQ(monitor->ok(), EntryControl::None);
    EXPECT_EQ(watched_.size(), 1);
}

TEST_F(EntryForm, SavingAnImportedEntryConfirmsItsProgramLineAndWatchedFlag) {
    const qint64 row = storeEntry("Mail", "jdoe");
    makeCurrent(row);
    passwords_.record().setText("P_:FILENAME", u"/bin/true");
    imported_entry::markImported(passwords_.record());
    passwords_.put();
    auto cancelled = open(form_request::Change);
    cancelled->cancel();
    EXPECT_FALSE(imported_entry::programConfirmed(stored("Mail", "jdoe")));
    makeCurrent(row);
    EXPECT_EQ(open(form_request::Change)->ok(), EntryControl::None);
    const Record saved = stored("Mail", "jdoe");
    EXPECT_TRUE(imported_entry::programConfirmed(saved) && imported_entry::watchConfirmed(saved));
}

TEST_F(EntryForm, TheMonitorProgramStampsBeforeItsChecks) {
    auto form = openNew(EntryFormVariant::MonitorProgram);
    fill(*form, "", "jdoe");
    EXPECT_EQ(form->ok(), EntryControl::Service);
    EXPECT_EQ(form->entry().number("P_:LASTCHANGEDATE"), clock_.day);
    auto main = openNew();
    fill(*main, "", "jdoe");
    EXPECT_EQ(main->ok(), EntryControl::Service);
    EXPECT_EQ(main->entry().number("P_:LASTCHANGEDATE"), 0);
}

TEST_F(EntryForm, CancelGivesTheCallerItsBufferBack) {
    makeCurrent(storeEntry("Mail", "jdoe"));
    const Record before = passwords_.record();
    auto form = open(form_request::Change);
    form->entry().setText("P_:SERVICE", u"Changed");
    form->cancel();
    EXPECT_TRUE(passwords_.record() == before);
    EXPECT_EQ(stored("Mail", "jdoe").text("P_:SERVICE"), "Mail");
}

TEST_F(EntryForm, PasteAndCopyGoThroughTheClipboardWithoutCuttingAField) {
    auto form = openNew();
    const int service = form->entry().fieldIndex(QLatin1String("P_:SERVICE"));
    clipboard_.contents = "Pasted service   "; // blanks and all, as copied
    EXPECT_TRUE(form->paste(service));
    EXPECT_EQ(form->entry().text(service), "Pasted service   ");
    clipboard_.contents = QString(129, u'x');
    EXPECT_FALSE(form->paste(service));
    EXPECT_EQ(form->entry().text(service), "Pasted service   ");
    EXPECT_EQ(prompter_.asked.back().title, "Paste");

    clipboard_.history.clear();
    form->copy(service);
    EXPECT_EQ(clipboard_.history, (QStringList{QString(512, u' '), "Pasted service   "}));
    EXPECT_EQ(form->clipboardDisplay(), "Pasted service   ");
    form->putClipboardDisplay(QString(100, u'y'));
    EXPECT_EQ(clipboard_.contents, QString(90, u'y'));
    EXPECT_TRUE(form->changedClipboardDisplay().has_value());
    EXPECT_FALSE(form->changedClipboardDisplay().has_value());
}

TEST_F(EntryForm, SettingsDecideTheClipboardDisplayAndTabSkipping) {
    settings_.values = {{"QL_HC", "1"}, {"QL_Skip", "1"}};
    auto form = openNew();
    EXPECT_TRUE(form->hideClipboard());
    EXPECT_TRUE(form->skipFieldButtons());
    // The monitor program's form consults neither.
    auto monitor = openNew(EntryFormVariant::MonitorProgram);
    EXPECT_FALSE(monitor->skipFieldButtons());
    settings_.values.clear();
    EXPECT_FALSE(openNew()->hideClipboard());
}

TEST_F(EntryForm, TheExpiryDateIsShownAndReadInTheUsersDateFormat) {
    settings_.values["DateFormat"] = "d6"; // 31/10/1959
    auto form = openNew();
    EXPECT_TRUE(form->setExpiryText("01/02/2028"));
    EXPECT_EQ(form->entry().number("P_:EXPIRYDATE"), dayNumber(QDate(2028, 2, 1)));
    EXPECT_EQ(form->expiryText(), "01/02/2028");
    // ISO dates and dates with their month's name read whatever the format.
    EXPECT_TRUE(form->setExpiryText("2029-03-04"));
    EXPECT_EQ(form->expiryText(), "04/03/2029");
    EXPECT_TRUE(form->setExpiryText("October 31, 2027"));
    EXPECT_EQ(form->expiryText(), "31/10/2027");
    EXPECT_FALSE(form->setExpiryText("soon"));
    EXPECT_FALSE(form->setExpiryText("31/02/2028"));
    EXPECT_EQ(form->expiryText(), "31/10/2027");
    EXPECT_TRUE(form->setExpiryText("  "));
    EXPECT_EQ(form->entry().number("P_:EXPIRYDATE"), 0);

    settings_.values["DateFormat"] = "d4"; // October 31, 1959
    auto monthFirst = openNew();
    EXPECT_TRUE(monthFirst->setExpiryText("1/2/2028"));
    EXPECT_EQ(monthFirst->expiryText(), "January 2, 2028");
}

TEST_F(EntryForm, WithoutADateFormatTheExpiryDateIsTheDesktopsShortDate) {
    auto form = openNew();
    const int32_t day = dayNumber(QDate(2028, 2, 1));
    form->entry().setNumber("P_:EXPIRYDATE", day);
    EXPECT_EQ(form->expiryText(), formatDate(day, "@d17"));
    form->entry().setNumber("P_:EXPIRYDATE", 0);
    EXPECT_TRUE(form->setExpiryText(formatDate(day, "@d17")));
    EXPECT_EQ(form->entry().number("P_:EXPIRYDATE"), day);
}

TEST_F(EntryForm, AnExpiryDateLeftAsShownKeepsItsCentury) {
    settings_.values["DateFormat"] = "d1"; // 10/31/59
    auto form = openNew();
    const int32_t day = dayNumber(QDate(2081, 5, 6));
    form->entry().setNumber("P_:EXPIRYDATE", day);
    EXPECT_EQ(form->expiryText(), "05/06/81");
    EXPECT_TRUE(form->setExpiryText(form->expiryText()));
    EXPECT_EQ(form->entry().number("P_:EXPIRYDATE"), day);
}

TEST_F(EntryForm, AChosenTitleOrSendTextIsNeverCutSilently) {
    auto form = openNew();
    EXPECT_EQ(form->patternForTitle("Login - Receiver"), "Login - Receiver");
    const QString longTitle = QString(80, u'a') + QString(60, u'b');
    const QString pattern = form->patternForTitle(longTitle);
    EXPECT_EQ(pattern.size(), 100);
    EXPECT_EQ(pattern, longTitle.left(99) + "*"); // still a pattern that fits that window
    EXPECT_TRUE(form->acceptChosenSendText(QString(255, u'k')));
    EXPECT_TRUE(prompter_.asked.empty());
    EXPECT_FALSE(form->acceptChosenSendText(QString(256, u'k')));
    EXPECT_EQ(prompter_.asked.size(), 1u);
}
