// End to end under a headless compositor: both interpreters type through the
// Wayland virtual keyboard into a terminal (foot), a GTK entry (zenity) and
// the Qt receiver, on several layouts with Caps Lock off and on, and into an
// X11 terminal under XWayland through its X display. The layouts and the
// user's keyboard state are changed through the compositor's IPC and a
// second virtual keyboard that stands for the user's own.
#include "keys/KeystrokeSender.h"
#include "platform/wlrwindows/WlrWindowSystem.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/wlclipboard/DataControlClearing.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/protocols/virtual-keyboard-unstable-v1-client-protocol.h"
#include "platform/wlkeyboard/FocusRoutedKeyboard.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/WaylandSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {

void PrintTo(const SendResult& r, std::ostream* out) {
    *out << "outcome " << int(r.outcome) << " character " << uint32_t(r.character);
}

namespace {

using wayland_test::SessionProgram;
using wayland_test::swaymsg;
using wayland_test::waitUntil;

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_keys_wayland";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

const QString kPunctuation = QStringLiteral("^`~'\"\\|{}<> !@#$%&*()_+-=;:,./?");
const QString kLetters = QStringLiteral("éèçàâêôûëüñÄÖÜß İıŞşĞğ ąćęłńóśźż ΑΒΓαβγωΩ ЖжЯяЁёЩщ €½");

// A second virtual keyboard that stands for the user's own: it carries the
// layout the compositor gives keyboards, and its state (Caps Lock, a held
// Ctrl) is what the receiver sees until our keyboard types.
class UserKeyboard {
public:
    UserKeyboard() : connection_(WaylandConnection::open()) {
        auto* manager = connection_->bind<zwp_virtual_keyboard_manager_v1>(
            &zwp_virtual_keyboard_manager_v1_interface, 1);
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, connection_->seat());
        xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        xkb_rule_names names{};
        names.layout = "us";
        xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        const size_t size = strlen(text) + 1;
        int fd = memfd_create("user-keymap", MFD_CLOEXEC);
        EXPECT_EQ(write(fd, text, size), ssize_t(size));
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
        close(fd);
        free(text);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
        connection_->roundTrip();
    }
    // The modifiers of this keyboard as the user has them: 2 Caps Lock, 4 Ctrl.
    void set(uint32_t depressed, uint32_t locked, uint32_t group) {
        zwp_virtual_keyboard_v1_modifiers(keyboard_, depressed, 0, locked, group);
        connection_->roundTrip();
        QThread::msleep(50);
    }
    // Presses and releases a key (a Linux input event code) of this keyboard.
    void press(uint32_t key) {
        zwp_virtual_keyboard_v1_key(keyboard_, 0, key, WL_KEYBOARD_KEY_STATE_PRESSED);
        zwp_virtual_keyboard_v1_key(keyboard_, 1, key, WL_KEYBOARD_KEY_STATE_RELEASED);
        connection_->roundTrip();
    }

private:
    std::unique_ptr<WaylandConnection> connection_;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
};

// A terminal that writes every byte it reads to a file: foot, or xterm under
// XWayland.
class TerminalReceiver {
public:
    explicit TerminalReceiver(bool x11 = false)
        : path_(QDir::current().filePath(x11 ? "xterm.out" : "foot.out")) {
        QFile::remove(path_);
        const QString shell = "stty -icanon -echo min 1; exec cat > " + path_;
        if (x11)
            program_ = std::make_unique<SessionProgram>(
                "xterm", QStringList{"-T", "X11 Receiver", "-e", "sh", "-c", shell},
                wayland_test::xwaylandEnvironment());
        else
            program_ = std::make_unique<SessionProgram>(
                "foot", QStringList{"--app-id", "ql-foot", "sh", "-c", shell});
    }
    // The next `count` lines, waiting for them.
    QStringList lines(int count) {
        QStringList got;
        waitUntil([&] {
            got = readAll().split(u'\n');
            return got.size() > consumed_ + count;
        }, 10000);
        QStringList out = got.mid(consumed_, count);
        consumed_ += int(out.size());
        return out;
    }

private:
    QString path_;
    int consumed_ = 0;
    std::unique_ptr<SessionProgram> program_;
    QString readAll() {
        QFile f(path_);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};
using FootReceiver = TerminalReceiver;

// The window of the application `appId`, waiting for it to appear; 0 when it does not.
WindowHandle windowOf(WlrWindowSystem& windows, const QString& appId) {
    WindowHandle found = 0;
    waitUntil([&] {
        for (const TopWindow& w : windows.topWindows())
            if (windows.appIdOf(w.handle) == appId) found = w.handle;
        return found != 0;
    }, 15000, [&] { windows.waitForChanges(50); });
    return found;
}

WindowHandle windowTitled(WlrWindowSystem& windows, const QString& title) {
    WindowHandle found = 0;
    waitUntil([&] {
        for (const TopWindow& w : windows.topWindows())
            if (w.title == title) found = w.handle;
        return found != 0;
    }, 15000, [&] { windows.waitForChanges(50); });
    return found;
}

// One GTK entry: zenity prints its text when Enter closes it.
QString typeIntoZenity(const std::function<SendResult(const QString&, WindowHandle)>& send,
                       WlrWindowSystem& windows, const QString& line) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GDK_BACKEND", "wayland");
    QProcess zenity;
    zenity.setProcessEnvironment(env);
    zenity.start("zenity", {"--entry", "--title", "GTK Receiver"});
    const WindowHandle window = windowOf(windows, "zenity");
    if (!window) return "(no zenity window)";
    SendResult r = send(line + "[Enter]", window);
    if (r != SendOutcome::Completed) return QStringLiteral("(send ended with %1)").arg(int(r.outcome));
    if (!zenity.waitForFinished(10000)) zenity.kill();
    zenity.waitForFinished(2000);
    // Wait until its window is gone, so the focus does not move after the next send began.
    waitUntil([&] { return !windows.exists(window); }, 5000, [&] { windows.waitForChanges(50); });
    return QString::fromUtf8(zenity.readAllStandardOutput()).chopped(1);
}

struct Layout {
    const char* names;
    unsigned group;
};

class WaylandSend : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(wayland_test::insideSession());
        // The keyboard and windows the programs get for this session.
        desktop = openDesktop({});
        EXPECT_EQ(desktop.keystrokes, "Keystrokes: Wayland virtual keyboard (sway)");
        keyboard = desktop.keyboard.get();
        windows = dynamic_cast<WlrWindowSystem*>(desktop.windows.get());
        ASSERT_TRUE(keyboard->available());
        ASSERT_TRUE(windows);
    }
    // Both interpreters give the target the focus first and stop if it leaves.
    SendResult send(const QString& line, WindowHandle target, bool direct) {
        KeystrokeSender sender(*keyboard, clock, *windows, SendPacing{20, 60});
        sender.setIdle([] { QThread::usleep(500); });
        return direct ? sender.sendDirect(target, line, 1) : sender.sendGrouped(line, target);
    }
    void setLayout(const Layout& layout) {
        ASSERT_TRUE(swaymsg({"input", "type:keyboard", "xkb_layout", "\"" + QString(layout.names) + "\""}));
        if (layout.group) {
            ASSERT_TRUE(swaymsg({"input", "type:keyboard", "xkb_switch_layout", QString::number(layout.group)}));
        }
    }

    DesktopBackends desktop;
    Keyboard* keyboard = nullptr;
    WlrWindowSystem* windows = nullptr;
    SystemClock clock;
};

// "us+ru@1": the layouts us and ru with the second (ru) group active.
std::vector<Layout> layoutsToTest() {
    static std::vector<std::string> names;
    std::vector<Layout> out;
    for (const QString& l : qEnvironmentVariable("QL_TEST_LAYOUTS", "us,de,fr,tr,us+ru@1").split(u',')) {
        names.push_back(l.section(u'@', 0, 0).replace(u'+', u',').toStdString());
        out.push_back({nullptr, l.section(u'@', 1).toUInt()});
    }
    for (size_t i = 0; i < out.size(); ++i) out[i].names = names[i].c_str();
    return out;
}

TEST_F(WaylandSend, LinesArriveExactlyInEveryReceiverOnEveryLayoutWithCapsLockOffAndOn) {
    UserKeyboard user;
    FootReceiver foot;
    const WindowHandle footWindow = windowOf(*windows, "ql-foot");
    ASSERT_NE(footWindow, 0u);
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Qt Receiver");
    const WindowHandle qtWindow = windowOf(*windows, "ql_receiver");
    ASSERT_NE(qtWindow, 0u);
    for (const Layout& layout : layoutsToTest()) {
        setLayout(layout);
        for (bool caps : {false, true}) {
            for (bool direct : {true, false}) {
                SCOPED_TRACE(std::string(layout.names) + (caps ? " caps on" : " caps off") +
                             (direct ? " direct" : " grouped"));
                // The user's keyboard was the last to type, with Caps Lock on or off.
                auto sendAsUser = [&](const QString& line, WindowHandle target) {
                    user.set(0, caps ? 2 : 0, layout.group);
                    return send(line, target, direct);
                };
                ASSERT_EQ(sendAsUser(kPunctuation + "[Enter]" + kLetters + "[Enter]", footWindow),
                          SendOutcome::Completed);
                EXPECT_EQ(foot.lines(2), (QStringList{kPunctuation, kLetters}));

                ASSERT_EQ(sendAsUser(kPunctuation + "[Tab]" + kLetters + "[Enter]", qtWindow),
                          SendOutcome::Completed);
                QJsonObject got = qt.next();
                EXPECT_EQ(got["user"].toString(), kPunctuation);
                EXPECT_EQ(got["password"].toString(), kLetters);

                EXPECT_EQ(typeIntoZenity(sendAsUser, *windows, kPunctuation + kLetters), kPunctuation + kLetters);
            }
        }
    }
    setLayout({"us", 0});
}

// Named keys are the keys of a physical keyboard, with their modifiers; and
// what the user holds on his own keyboard does not reach the typed keys, as
// the compositor keeps each keyboard's modifiers to itself.
TEST_F(WaylandSend, NamedKeysActAndTheUsersHeldModifiersDoNotTurnTextIntoShortcuts) {
    UserKeyboard user;
    qputenv("QT_QPA_PLATFORM", "wayland");
    ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Keys Receiver");
    const WindowHandle qtWindow = windowOf(*windows, "ql_receiver");
    ASSERT_NE(qtWindow, 0u);
    for (const char* layout : {"us", "de"}) {
        SCOPED_TRACE(layout);
        setLayout({layout, 0});
        // Backspace and Home edit the name; Ctrl+A selects all so "z" replaces
        // it; Tab leaves for the notes and Shift+Tab comes back.
        ASSERT_EQ(send("abc[BS]d[HOME]x[Tab]old[^a]z[TAB 0][+TAB][END]e[Enter]", qtWindow, true),
                  SendOutcome::Completed);
        QJsonObject got = qt.next();
        EXPECT_EQ(got["user"].toString(), "xabd");
        EXPECT_EQ(got["password"].toString(), "ze");
        // Ctrl held on the user's keyboard (and Caps Lock on) the whole time.
        user.set(4, 2, 0);
        ASSERT_EQ(send("aqz[Tab]vcx[Enter]", qtWindow, false), SendOutcome::Completed);
        got = qt.next();
        EXPECT_EQ(got["user"].toString(), "aqz");
        EXPECT_EQ(got["password"].toString(), "vcx");
        user.set(0, 0, 0);
    }
    setLayout({"us", 0});
}

// Ctrl and Alt with a letter are the letter's key of a physical keyboard with
// this keyboard's own modifiers, so a terminal turns them into the bytes it
// makes of them. A compositor shortcut with a modifier the user holds on his
// own keyboard (Super here) is not set off by the keys typed meanwhile: the
// compositor matches its shortcuts against each keyboard's own modifiers.
TEST_F(WaylandSend, ControlAndAltWithALetterReachATerminalAsThePhysicalKeysDo) {
    UserKeyboard user;
    FootReceiver foot;
    const WindowHandle footWindow = windowOf(*windows, "ql-foot");
    ASSERT_NE(footWindow, 0u);
    const QString shortcutRan = QDir::current().filePath("shortcut-ran");
    ASSERT_TRUE(swaymsg({"bindsym", "Mod4+z", "exec", "touch", shortcutRan}));
    user.set(64, 0, 0); // the shortcut works from the user's own keyboard
    user.press(44);
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(shortcutRan); }, 5000));
    QFile::remove(shortcutRan);
    user.set(0, 0, 0);
    for (const char* layout : {"us", "de"}) {
        SCOPED_TRACE(layout);
        setLayout({layout, 0});
        for (bool direct : {true, false}) {
            ASSERT_EQ(send("a[^a]b[CTRL-E]c[%b]d[ALT-F]e[^%x]z[Enter]", footWindow, direct),
                      SendOutcome::Completed);
            EXPECT_EQ(foot.lines(1), QStringList{QString::fromLatin1("a\x01" "b\x05" "c\x1b" "bd\x1b" "fe\x1b\x18" "z")});
        }
        user.set(64, 0, 0); // Super held on the user's keyboard
        ASSERT_EQ(send("zz[Enter]", footWindow, true), SendOutcome::Completed);
        EXPECT_EQ(foot.lines(1), QStringList{QStringLiteral("zz")});
        user.set(0, 0, 0);
    }
    QThread::msleep(200);
    EXPECT_FALSE(QFile::exists(shortcutRan)) << "a held Super made the typed z a shortcut";
    swaymsg({"unbindsym", "Mod4+z"});
    setLayout({"us", 0});
}

// An X11 program under XWayland reads its keys through the X server's own
// keymap, which keeps the layout it started with and takes none of ours: the
// session's keyboard sends its lines through the XWayland display, where the
// X11 keyboard finds (or maps) each character, and a Wayland window's lines
// through the virtual keyboard.
TEST_F(WaylandSend, AnX11TerminalUnderXWaylandGetsLinesExactlyThroughItsDisplay) {
    ASSERT_FALSE(qEnvironmentVariable("DISPLAY").isEmpty()) << "no XWayland display";
    auto* routed = dynamic_cast<FocusRoutedKeyboard*>(keyboard);
    ASSERT_TRUE(routed);
    TerminalReceiver xterm(true);
    const WindowHandle x11Window = windowTitled(*windows, "X11 Receiver");
    ASSERT_NE(x11Window, 0u);
    FootReceiver foot;
    const WindowHandle footWindow = windowOf(*windows, "ql-foot");
    ASSERT_NE(footWindow, 0u);
    setLayout({"de", 0});
    for (bool direct : {true, false}) {
        SCOPED_TRACE(direct ? "direct" : "grouped");
        const QString line = kPunctuation + "[Enter]" + kLetters + "[Enter]";
        ASSERT_EQ(send(line, x11Window, direct), SendOutcome::Completed);
        EXPECT_TRUE(routed->typingIntoX11());
        EXPECT_EQ(xterm.lines(2), (QStringList{kPunctuation, kLetters}));
        ASSERT_EQ(send(line, footWindow, direct), SendOutcome::Completed);
        EXPECT_FALSE(routed->typingIntoX11());
        EXPECT_EQ(foot.lines(2), (QStringList{kPunctuation, kLetters}));
    }
    setLayout({"us", 0});
}

// What wl-paste reads from the clipboard: its types with `list`, else its text.
QString pasted(bool list = false) {
    QProcess p;
    p.start("wl-paste", list ? QStringList{"--list-types"} : QStringList{"--no-newline"});
    p.waitForFinished(5000);
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The clear time comes while another program has the focus: the clipboard is
// cleared all the same, but only while it holds our own copy.
TEST_F(WaylandSend, TheClipboardIsClearedFromTheBackgroundButOnlyOurOwnCopy) {
    FootReceiver foot;
    const WindowHandle footWindow = windowOf(*windows, "ql-foot");
    ASSERT_NE(footWindow, 0u);
    windows->requestFocus(footWindow, FocusWay::Direct);
    ASSERT_TRUE(waitUntil([&] { return windows->hasFocus(footWindow); }, 5000));
    ClipboardClearing& clearing = *desktop.clipboardClearing;
    ASSERT_TRUE(clearing.available());
    EXPECT_EQ(desktop.notice, "");

    SessionProgram ours("wl-copy", {"--foreground", "--type", kOwnClipboardType, "secret"});
    ASSERT_TRUE(waitUntil([] { return pasted(true).contains(kOwnClipboardType); }, 5000));
    EXPECT_TRUE(clearing.clear());
    EXPECT_TRUE(waitUntil([] { return pasted(true).isEmpty(); }, 5000)) << "still there: " << pasted(true).toStdString();

    SessionProgram theirs("wl-copy", {"--foreground", "copied elsewhere"});
    ASSERT_TRUE(waitUntil([] { return pasted() == "copied elsewhere"; }, 5000));
    EXPECT_FALSE(clearing.clear());
    QThread::msleep(200);
    EXPECT_EQ(pasted(), "copied elsewhere");
    EXPECT_TRUE(windows->hasFocus(footWindow));
}

} // namespace
} // namespace ql
