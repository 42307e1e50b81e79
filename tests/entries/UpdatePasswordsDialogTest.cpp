#include "EntryFormFixture.h"
#include "entries/SendTextList.h"
#include "entries/StoredFile.h"
#include "entries/views/LimitedTextEdit.h"
#include "entries/views/RefreshingComboBox.h"
#include "entries/views/RunUpdatePasswords.h"
#include "framework/IniStore.h"
#include "framework/Pictures.h"
#include "tests/signin/views/ModalAnswers.h"
#include "tests/support/TestApp.h"
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace ql;
using ql::test::ModalAnswers;

namespace {

class EntryWindow : public ql::test::EntryFormFixture {
protected:
    void SetUp() override {
        testApp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        EntryFormFixture::SetUp();
        positions_.openStore(dir_.filePath("POSITION.INI"));
    }

    int run(int request, std::vector<ModalAnswers::Step> steps,
            EntryFormVariant variant = EntryFormVariant::MainProgram) {
        ModalAnswers answers(std::move(steps));
        EntryFormTools tools{positions_, clock_, prompter_, [](Record& entry, QWidget*) {
                                 entry.setText("P_:PASSWORD", u"Gen3rated!");
                                 entry.setText("P_:CONFIRMPASSWORD", u"Gen3rated!");
                                 return true;
                             }};
        const int result =
            runUpdatePasswords(formServices(), variant, tools, request, passwords_, user_);
        EXPECT_TRUE(answers.finished()) << answers.handled().size();
        EXPECT_FALSE(answers.timedOut());
        return result;
    }

    template <typename W = QWidget>
    static W* find(QWidget& w, const char* name) {
        W* found = w.findChild<W*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void type(QWidget& w, const char* name, const QString& text) {
        auto* entry = find<QLineEdit>(w, name);
        entry->selectAll();
        QTest::keyClicks(entry, text);
    }
    static void typeInCombo(QWidget& w, const char* name, const QString& text) {
        QLineEdit* entry = find<QComboBox>(w, name)->lineEdit();
        entry->selectAll();
        QTest::keyClicks(entry, text);
    }
    static void click(QWidget& w, const char* name) { find<QAbstractButton>(w, name)->click(); }
    static void clickLater(QWidget& w, const char* name) {
        QMetaObject::invokeMethod(find<QAbstractButton>(w, name), "click", Qt::QueuedConnection);
    }
    // Picks a day of the shown month in the date picker.
    static std::function<void(QWidget&)> pickDay(const QString& day) {
        return [day](QWidget& calendar) {
            for (QPushButton* b : calendar.findChildren<QPushButton*>())
                if (b->objectName().startsWith("day") && b->text() == day && b->isVisible()) {
                    clickLater(calendar, qPrintable(b->objectName()));
                    return;
                }
        };
    }

    IniStore positions_;
};

} // namespace

TEST_F(EntryWindow, AnEntryFilledInThroughTheControlsIsStoredAsTyped) {
    {
        SendTextList texts(managers().scriptPaste);
        ASSERT_TRUE(texts.open());
        texts.seedDefaults();
    }
    windows_.addWindow(101, "Login - Receiver");
    const QString note = QString(9990, u'n') + QStringLiteral("0123456789");
    const QByteArray attachment = QByteArray(stored_file::kLimit, 'a');
    QFile file(dir_.filePath("key.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(attachment);
    file.close();
    files_.answers = {dir_.filePath("key.bin")};
    int noteLength = 0;
    const int result = run(form_request::Insert, {
        {"Add Password Information", [&](QWidget& w) {
             type(w, "service", "Mail");
             type(w, "url", "https://mail.example.com");
             type(w, "name", "jdoe ");
             type(w, "password", "  s3cret pass  ");
             type(w, "confirm", "  s3cret pass  ");
             // The note arrives through the clipboard; one more key is refused, and said so.
             auto* notes = find<LimitedTextEdit>(w, "notes");
             QGuiApplication::clipboard()->setText(note);
             notes->setFocus();
             notes->paste();
             QTest::keyClicks(notes, "x");
             noteLength = int(notes->toPlainText().size());
             auto* more = find<LimitedTextEdit>(w, "moreNotes");
             more->moveCursor(QTextCursor::End);
             QTest::keyClicks(more, " by hand");
             auto* send = find<QComboBox>(w, "sendText");
             send->setCurrentIndex(send->findText("[Password][Enter]"));
             find<QSpinBox>(w, "wait")->selectAll();
             QTest::keyClicks(find<QSpinBox>(w, "wait"), "15");
             click(w, "directSend");
             auto* title = find<QComboBox>(w, "windowTitle");
             title->setCurrentIndex(title->findText("Login - Receiver"));
             click(w, "monitor");
             find<QSpinBox>(w, "repeat")->setValue(30);
             click(w, "advanced");   // answered below
             click(w, "selectExpiry");
             find<QSpinBox>(w, "expiryInterval")->setValue(90);
             type(w, "program", "xdg-open https://mail.example.com");
             click(w, "encrypt");
             clickLater(w, "ok");
         }},
        {"Advanced Settings", [](QWidget& w) {
             type(w, "windowContents", "User name");
             clickLater(w, "close");
         }},
        {"Select Expiry Date", pickDay("20")}});
    EXPECT_EQ(result, form_response::Completed);
    EXPECT_EQ(noteLength, 10000);

    const Record e = stored("Mail", "jdoe");
    EXPECT_EQ(e.text("P_:URL"), "https://mail.example.com");
    EXPECT_EQ(e.text("P_:NAME"), "jdoe ");
    EXPECT_EQ(e.text("P_:PASSWORD"), "  s3cret pass  ");
    EXPECT_EQ(e.text("P_:CONFIRMPASSWORD"), "  s3cret pass  ");
    EXPECT_EQ(e.text("P_:NOTES"), note);
    EXPECT_EQ(e.text("P_:MORENOTES"), "Added December 8, 2026  5:43PM by hand");
    EXPECT_EQ(e.text("P_:PASTE"), "[Password][Enter]");
    EXPECT_EQ(e.number("P_:SECONDSTOWAIT"), 15);
    EXPECT_EQ(e.number("P_:DIRECTSEND"), 1);
    EXPECT_EQ(e.text("P_:WINDOWTITLETOLOCATE"), "Login - Receiver");
    EXPECT_EQ(e.text("P_:WINDOWCONTENTS"), "User name");
    EXPECT_EQ(e.number("P_:MONITOR"), 1);
    EXPECT_EQ(e.number("P_:DONOTREPEATSECONDS"), 30);
    EXPECT_EQ(e.number("P_:EXPIRYDATE"), dayNumber(QDate(2026, 12, 20)));
    EXPECT_EQ(e.number("P_:EXPIRYINTERVAL"), 90);
    EXPECT_EQ(e.text("P_:FILENAME"), "xdg-open https://mail.example.com");
    EXPECT_EQ(e.text("P_:ENCRYPTEDFILENAME"), dir_.filePath("key.bin"));
    EXPECT_EQ(e.blob("P_:ENCRYPTEDFILE"), attachment);
    EXPECT_EQ(e.number("P_:LASTCHANGEDATE"), clock_.day);
    EXPECT_EQ(watched_, QStringList{"amy"});
    // The refused key was told in the Paste buttons' words.
    EXPECT_EQ(askedTitles(), (QStringList{"Notes", "Complete"}));
    EXPECT_EQ(prompter_.asked[0].text, "The text is 10001 characters long; this field holds at "
                                       "most 10000, so it was left as it was.");
    QFile ini(dir_.filePath("POSITION.INI"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray places = ini.readAll();
    EXPECT_TRUE(places.contains("[UpdatePasswords]"));
    EXPECT_TRUE(places.contains("[UpdatePasswordAdvSet]"));
}

TEST_F(EntryWindow, AChangeKeepsWhatWasNotTouchedAndADeleteNeedsNoMatchingConfirmation) {
    const qint64 row = storeEntry("Bank", "jdoe");
    makeCurrent(row);
    passwords_.record().setText("P_:NOTES", u"first note");
    passwords_.record().setBlob("P_:ENCRYPTEDFILE", "kept bytes");
    passwords_.record().setNumber("P_:EXPIRYDATE", dayNumber(QDate(2027, 1, 1)));
    ASSERT_EQ(passwords_.put(), 0);
    QString shownExpiry, lastChanged;
    EXPECT_EQ(run(form_request::Change,
                  {{"Change Password Information",
                    [&](QWidget& w) {
                        shownExpiry = find<QLineEdit>(w, "expiryDate")->text();
                        click(w, "generate");
                        auto* notes = find<LimitedTextEdit>(w, "notes");
                        notes->moveCursor(QTextCursor::End);
                        QTest::keyClicks(notes, ", second");
                        clickLater(w, "ok");
                    }}}),
              form_response::Completed);
    EXPECT_EQ(shownExpiry, formatDate(dayNumber(QDate(2027, 1, 1)), "@d17")); // no date format chosen
    Record e = stored("Bank", "jdoe");
    EXPECT_EQ(e.text("P_:PASSWORD"), "Gen3rated!");
    EXPECT_EQ(e.text("P_:NOTES"), "first note, second");
    EXPECT_EQ(e.blob("P_:ENCRYPTEDFILE"), "kept bytes");
    EXPECT_EQ(e.number("P_:EXPIRYDATE"), dayNumber(QDate(2027, 1, 1)));

    makeCurrent(row);
    passwords_.record().setText("P_:CONFIRMPASSWORD", u"something else");
    bool readOnly = false;
    EXPECT_EQ(run(form_request::Delete,
                  {{"Update the Passwords File",
                    [&](QWidget& w) {
                        readOnly = find<QLineEdit>(w, "service")->isReadOnly() &&
                                   !find<QAbstractButton>(w, "generate")->isEnabled();
                        lastChanged = find<QLabel>(w, "lastChanged")->text();
                        clickLater(w, "ok");
                    }}}),
              form_response::Completed);
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(lastChanged, "Last changed December 8, 2026 5:43PM");
    EXPECT_EQ(storedEntries(), 0);
}

TEST_F(EntryWindow, TheExpiryDateIsTypedAndShownInTheUsersDayFirstFormat) {
    settings_.values["DateFormat"] = "d6"; // 31/10/1959
    EXPECT_EQ(run(form_request::Insert, {{"Add Password Information", [&](QWidget& w) {
                      type(w, "service", "Bank");
                      type(w, "name", "jdoe");
                      type(w, "password", "pw");
                      type(w, "confirm", "pw");
                      type(w, "expiryDate", "01/02/2028");
                      clickLater(w, "ok");
                  }}}),
              form_response::Completed);
    EXPECT_EQ(stored("Bank", "jdoe").number("P_:EXPIRYDATE"), dayNumber(QDate(2028, 2, 1)));

    makeCurrent(storeEntry("Mail", "amy"));
    passwords_.record().setNumber("P_:EXPIRYDATE", dayNumber(QDate(2027, 10, 31)));
    QString shown;
    run(form_request::Change, {{"Change Password Information", [&](QWidget& w) {
            shown = find<QLineEdit>(w, "expiryDate")->text();
            auto* tabs = find<QTabWidget>(w, "pages");
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i) == "Expiry") tabs->setCurrentIndex(i);
            w.grab().save(QDir(previous_).filePath("update-passwords-day-first-expiry.png"));
            clickLater(w, "cancel");
        }}});
    EXPECT_EQ(shown, "31/10/2027");
}

TEST_F(EntryWindow, ARefusedOkKeepsTheFormOpenOnTheControlToFixAndCancelStoresNothing) {
    QWidget* focusAfterOk = nullptr;
    QWidget* waitSpin = nullptr;
    QString page;
    EXPECT_EQ(run(form_request::Insert,
                  {{"Add Password Information",
                    [&](QWidget& w) {
                        type(w, "service", "Mail");
                        waitSpin = find<QSpinBox>(w, "wait");
                        find<QSpinBox>(w, "wait")->selectAll();
                        QTest::keyClicks(waitSpin, "300");
                        click(w, "ok");
                        focusAfterOk = w.focusWidget();
                        page = find<QTabWidget>(w, "pages")->tabText(
                            find<QTabWidget>(w, "pages")->currentIndex());
                        clickLater(w, "cancel");
                    }}}),
              form_response::Cancelled);
    EXPECT_TRUE(focusAfterOk == waitSpin || waitSpin->isAncestorOf(focusAfterOk));
    EXPECT_EQ(page, "Settings for Send");
    EXPECT_EQ(askedTitles(), QStringList{"Range Error"});
    EXPECT_EQ(storedEntries(), 0);
    EXPECT_EQ(passwords_.record().text("P_:SERVICE"), "");
}

TEST_F(EntryWindow, EnablingFollowsTheFieldsAndListsFollowTheDesktop) {
    settings_.values = {{"QL_Skip", "1"}};
    clipboard_.contents = "from elsewhere";
    std::map<QString, bool> seen;
    QStringList titlesAfterPopup;
    QString clipboardShown, longTitle;
    QWidget* afterServiceTab = nullptr;
    QWidget* url = nullptr;
    run(form_request::Insert, {{"Add Password Information", [&](QWidget& w) {
            seen["advanced"] = find<QPushButton>(w, "advanced")->isEnabled();
            seen["repeat"] = find<QSpinBox>(w, "repeat")->isEnabled();
            typeInCombo(w, "windowTitle", "Mail*");
            click(w, "monitor");
            seen["advancedNow"] = find<QPushButton>(w, "advanced")->isEnabled();
            seen["repeatNow"] = find<QSpinBox>(w, "repeat")->isEnabled();
            find<QComboBox>(w, "sendText")->setEditText("");
            seen["addToDefaults"] = find<QPushButton>(w, "addToDefaults")->isEnabled();

            // A title longer than the field is taken as the pattern of its start.
            windows_.addWindow(203, QString(120, u'L'));
            find<RefreshingComboBox>(w, "windowTitle")->showPopup();
            find<RefreshingComboBox>(w, "windowTitle")->hidePopup();
            auto* chooser = find<QComboBox>(w, "windowTitle");
            const int longOne = chooser->findText(QString(120, u'L'));
            chooser->setCurrentIndex(longOne);
            emit chooser->activated(longOne);
            longTitle = chooser->currentText();
            typeInCombo(w, "windowTitle", "Mail*");

            windows_.addWindow(202, "Opened Later");
            auto* titles = find<RefreshingComboBox>(w, "windowTitle");
            titles->showPopup();
            for (int i = 0; i < titles->count(); ++i) titlesAfterPopup << titles->itemText(i);
            titles->hidePopup();
            seen["titleKept"] = titles->currentText() == "Mail*";

            QTest::qWait(400);
            clipboardShown = find<QLineEdit>(w, "clipboard")->text();

            // Tab from a field goes straight to the next field.
            find<QTabWidget>(w, "pages")->setCurrentIndex(0);
            url = find<QLineEdit>(w, "url");
            find<QLineEdit>(w, "service")->setFocus();
            QTest::keyClick(find<QLineEdit>(w, "service"), Qt::Key_Tab);
            afterServiceTab = w.focusWidget();
            clickLater(w, "cancel");
        }}});
    EXPECT_FALSE(seen["advanced"]);
    EXPECT_FALSE(seen["repeat"]);
    EXPECT_TRUE(seen["advancedNow"]);
    EXPECT_TRUE(seen["repeatNow"]);
    EXPECT_FALSE(seen["addToDefaults"]);
    EXPECT_TRUE(titlesAfterPopup.contains("Opened Later"));
    EXPECT_TRUE(seen["titleKept"]);
    EXPECT_EQ(longTitle, QString(99, u'L') + "*");
    EXPECT_EQ(clipboardShown, "from elsewhere");
    EXPECT_EQ(afterServiceTab, url);
}

TEST_F(EntryWindow, TextDroppedOnAMarkedEntryReplacesItsContents) {
    QString url, longDrop;
    run(form_request::Insert, {{"Add Password Information", [&](QWidget& w) {
            auto* target = find<QLineEdit>(w, "url");
            target->setText("old");
            auto drop = [target](const QString& text) {
                QMimeData data;
                data.setText(text);
                const QPointF at(5, 5);
                QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                                      Qt::NoModifier);
                QApplication::sendEvent(target, &enter);
                QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(target, &dropped);
            };
            drop("https://dropped.example.com");
            url = target->text();
            drop(QString(300, u'x')); // longer than the field: refused whole
            longDrop = target->text();
            // A key typed into a full field is refused in the same words.
            auto* service = find<QLineEdit>(w, "service");
            service->setText(QString(128, u's'));
            service->setFocus();
            service->end(false);
            QTest::keyClicks(service, "x");
            clickLater(w, "cancel");
        }}});
    EXPECT_EQ(url, "https://dropped.example.com");
    EXPECT_EQ(longDrop, "https://dropped.example.com");
    ASSERT_EQ(prompter_.asked.size(), 2u);
    EXPECT_EQ(prompter_.asked[0].text, "The text is 300 characters long; this field holds at most "
                                       "255, so it was left as it was.");
    EXPECT_EQ(prompter_.asked[1].text, "The text is 129 characters long; this field holds at most "
                                       "128, so it was left as it was.");
    EXPECT_EQ(prompter_.asked[1].title, "Service");
}

TEST_F(EntryWindow, TheMonitorProgramsFormIsTheSmallerOne) {
    std::map<QString, bool> has;
    QStringList pages;
    bool advancedDirectSend = true;
    int result = run(
        form_request::Insert,
        {{"Add Password Information",
          [&](QWidget& w) {
              auto* tabs = find<QTabWidget>(w, "pages");
              for (int i = 0; i < tabs->count(); ++i) pages << tabs->tabText(i);
              for (const char* name : {"pasteService", "pasteNotes", "clipboard", "listKeys",
                                       "addToDefaults", "directSend", "lastChanged", "expiryDate"})
                  has[name] = w.findChild<QWidget*>(name) != nullptr;
              w.grab().save(QDir(previous_).filePath("update-passwords-monitor.png"));
              typeInCombo(w, "windowTitle", "Web*");
              click(w, "advanced");
              clickLater(w, "cancel");
          }},
         {"Advanced Settings",
          [&](QWidget& w) {
              advancedDirectSend = w.findChild<QCheckBox*>("directSend") != nullptr;
              clickLater(w, "close");
          }}},
        EntryFormVariant::MonitorProgram);
    EXPECT_EQ(result, form_response::Cancelled);
    EXPECT_EQ(pages, (QStringList{"General", "Notes", "More Notes", "Settings for Send"}));
    EXPECT_FALSE(has["pasteService"]);
    EXPECT_TRUE(has["pasteNotes"]);
    for (const char* absent :
         {"clipboard", "listKeys", "addToDefaults", "directSend", "lastChanged", "expiryDate"})
        EXPECT_FALSE(has[absent]) << absent;
    EXPECT_FALSE(advancedDirectSend);

    QStringList filesTexts;
    run(form_request::Insert, {{"Add Password Information", [&](QWidget& w) {
            auto* tabs = find<QTabWidget>(w, "pages");
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->tabText(i) == "Files")
                    for (const QLabel* label : tabs->widget(i)->findChildren<QLabel*>())
                        filesTexts << label->text();
            for (int i : {0, 3, 5}) {
                tabs->setCurrentIndex(i);
                w.grab().save(QDir(previous_).filePath(
                    QStringLiteral("update-passwords-%1.png").arg(i)));
            }
            clickLater(w, "cancel");
        }}});
    // The Files page names the size a stored file may have.
    EXPECT_TRUE(filesTexts.join(u'|').contains("a small (64 KiB or less) file"))
        << filesTexts.join(u'|').toStdString();
}
