// End to end under GNOME's shell with a German layout: what arrives in GTK
// and Qt receivers when the portal types the punctuation line and accented
// letters (dead keys, AltGr), Caps Lock off and on; and the sends that must
// stop because a character cannot come out exactly, with nothing wrong typed.
// The shell's language is German, so its keymap is German in every group.
#include "tests/gnome/GnomeReceivers.h"
#include "tests/support/GnomeShellSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <gtest/gtest.h>

namespace ql {
namespace {

using namespace gnome_test;

// Letters of the German group itself, behind its dead keys, and on its third level.
const QString kAccented = QStringLiteral("äöüÄÖÜéÉèÈêÊáàâôû@€");

class GnomeGerman : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        desk = new Desk;
        answer = new portal_test::PermissionAnswer(true);
        qputenv("QT_QPA_PLATFORM", "wayland");
    }
    static void TearDownTestSuite() {
        setCapsLock(*desk, false);
        delete answer;
        delete desk;
    }
    void TearDown() override { gnome_test::screenshotOfTest(); }
    static Desk* desk;
    static portal_test::PermissionAnswer* answer;
};
Desk* GnomeGerman::desk = nullptr;
portal_test::PermissionAnswer* GnomeGerman::answer = nullptr;

TEST_F(GnomeGerman, PunctuationAndAccentedLinesArriveExactlyInGtkAndQtWithCapsLockOffAndOn) {
    for (bool caps : {false, true}) {
        SCOPED_TRACE(caps ? "caps on" : "caps off");
        setCapsLock(*desk, caps);
        Zenity gtk(desk->windows, "GTK Receiver");
        ASSERT_NE(gtk.window, 0u);
        const SendResult r = sendTo(*desk, "jDoe" + kPunctuation + kAccented + "[Enter]", gtk.window, false);
        ASSERT_EQ(r, SendOutcome::Completed);
        EXPECT_EQ(gtk.text(false), "jDoe" + kPunctuation + kAccented);

        ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Qt Receiver");
        const WindowHandle qtWindow = titled(desk->windows, "Qt Receiver");
        ASSERT_NE(qtWindow, 0u);
        settle(1500);
        ASSERT_EQ(sendTo(*desk, kAccented + "[Tab]" + kPunctuation + "[Enter]", qtWindow, true),
                  SendOutcome::Completed);
        const QJsonObject got = qt.next();
        EXPECT_EQ(got["user"].toString(), kAccented);
        EXPECT_EQ(got["password"].toString(), kPunctuation);
    }
}

// A character the German group lacks, or one Caps Lock would turn (the sharp
// s becomes the capital one), stops the send before it.
TEST_F(GnomeGerman, ACharacterOutsideTheGroupStopsTheSendWithNothingWrongTyped) {
    for (bool caps : {false, true}) {
        SCOPED_TRACE(caps ? "caps on" : "caps off");
        setCapsLock(*desk, caps);
        for (const char32_t stop : {U'Ж', U'¿', U'ñ'}) {
            Zenity gtk(desk->windows, "Stop Receiver");
            ASSERT_NE(gtk.window, 0u);
            const SendResult r = sendTo(*desk, "ab" + QString::fromUcs4(&stop, 1) + "cd[Enter]", gtk.window, false);
            EXPECT_EQ(r, SendOutcome::Untypable);
            EXPECT_EQ(r.character, stop);
            settle();
            EXPECT_EQ(gtk.text(true), "ab");
        }
    }
    setCapsLock(*desk, true);
    Zenity gtk(desk->windows, "Stop Receiver");
    EXPECT_EQ(sendTo(*desk, QStringLiteral("aß[Enter]"), gtk.window, false), SendOutcome::Untypable);
    settle();
    EXPECT_EQ(gtk.text(true), "a");
}

// Two input sources, German active behind US in the list, as GNOME keeps
// them after a switch: the keymap has both groups and the shell locks the
// German one. The session is told neither the group nor that it changed, so
// only what both groups type alike is typed, and the rest stops the send.
TEST_F(GnomeGerman, WithUsAndGermanSourcesOnlyWhatBothGroupsTypeAlikeIsTyped) {
    // The shell activates the first of new sources it has not used yet, and
    // keeps the one it uses when the list is reordered.
    setInputSources({QStringLiteral("de"), QStringLiteral("us")});
    settle(500);
    setInputSources({QStringLiteral("us"), QStringLiteral("de")});
    settle(1000);
    setCapsLock(*desk, false);
    Zenity gtk(desk->windows, "Two Groups");
    ASSERT_NE(gtk.window, 0u);
    settle();
    desk->backends.keyboard->keyDown('Z');
    desk->backends.keyboard->keyUp('Z');
    // z is on another key in each group, but on one in each: the compositor
    // finds it in the active group. ^ is a key of its own on US and a dead
    // key on German: no one plan types it in both.
    const SendResult r = sendTo(*desk, QStringLiteral("a1.z@^b[Enter]"), gtk.window, false);
    EXPECT_EQ(r, SendOutcome::Untypable);
    EXPECT_EQ(r.character, U'^');
    settle();
    EXPECT_EQ(gtk.text(true), "ya1.z@") << "the German group is active: its Z key types y";
    setInputSources({QStringLiteral("de")});
    settle(500);
}

} // namespace
} // namespace ql
