// End to end under a headless KWin: both interpreters type through KWin's fake
// input, with the keys and levels of the seat's layout, into a terminal
// (foot), a GTK entry (zenity), the Qt receiver and an X11 terminal under
// XWayland (xterm), on several layouts and groups with Caps Lock
// off and on, characters behind dead keys as the dead key and a key; a
// character the active group cannot produce stops the send before it, with
// nothing wrong typed. Layouts are set through KWin's keyboard
// configuration (kxkbrc) and its layout service.
#include "keys/KeystrokeSender.h"
#include "keys/SendStopped.h"
#include "platform/core/SystemClock.h"
#include "platform/desktop/DesktopBackends.h"
#include "platform/kwinkeyboard/FakeInputKeyboard.h"
#include "platform/kwinkeyboard/LayoutStrokes.h"
#include "platform/kwinwindows/PlasmaWindowSystem.h"
#include "platform/wayland/WaylandConnection.h"
#include "tests/support/KwinSession.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/WaylandSession.h"
#include "tests/support/receiver/ReceiverProcess.h"
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace ql {

void PrintTo(const SendResult& r, std::ostream* out) {
    *out << "outcome " << int(r.outcome) << " character " << uint32_t(r.character);
}

namespace {

using wayland_test::waitUntil;

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "test_keys_kwin";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

const QString kPunctuation = QStringLiteral("^`~'\"\\|{}<> !@#$%&*()_+-=;:,./?");
const QString kLetters = QStringLiteral("éèçàâêôûëüñÄÖÜß İıŞşĞğ ąćęłńóśźż ΑΒΓαβγωΩ ЖжЯяЁёЩщ €½");

// One layout of the matrix: what the active group types in full, and where
// the two common lines stop on it (0: they do not).
struct Layout {
    QString names;
    unsigned group;
    QString ownLine;
    char32_t punctuationStop;
    char32_t lettersStop;
    // Keys of characters that tell this layout's keymap from the others'.
    std::vector<std::pair<char32_t, uint32_t>> probes;
};

const std::vector<Layout>& layouts() {
    static const std::vector<Layout> all = {
        {"us", 0, "Login@example.com AZaz09 ~`^", 0, U'é', {{U'a', 30}, {U'y', 21}, {U'i', 23}}},
        // The second halves are behind dead keys.
        {"de", 0, "äöüÄÖÜß @€{}\\~|<>µ zZyY ^`\u00b4éÉèÈêÊáàÂôûç ğşİąęń", 0, U'ñ', {{U'ö', 39}}},
        {"fr", 0, "éèçàù €²&\"'(-_)=$*%µ aqAQ âêÎôÛëïüÿ", 0, U'ñ', {{U'é', 3}}},
        {"tr", 0, "İıŞşĞğçÇöÖüÜ iI èàÈá", 0, U'ê', {{U'ı', 23}}},
        {"us,ru", 1, "ЖжЯяЁёЩщ№ хъ", U'^', U'é', {{U'ж', 39}}},
    };
    return all;
}

// Writes KWin's keyboard configuration and has it read again.
void configureLayouts(kwin_test::SeatKeymap& seat, const Layout& layout) {
    ASSERT_TRUE(kwin_test::configureLayouts(seat, layout.names, layout.group, layout.probes)) << "no new keymap";
}

class KwinSend : public ::testing::Test {
public:
    void SetUp() override {
        app();
        ASSERT_TRUE(wayland_test::insideSession());
        desktop = openDesktop({});
        ASSERT_EQ(desktop.keystrokes, "Keystrokes: KWin fake input (kwin_wayland)");
        keyboard = dynamic_cast<FakeInputKeyboard*>(desktop.keyboard.get());
        windows = dynamic_cast<PlasmaWindowSystem*>(desktop.windows.get());
        ASSERT_TRUE(keyboard && windows);
        ASSERT_TRUE(keyboard->available());
    }
    SendResult send(const QString& line, WindowHandle target, bool direct) {
        KeystrokeSender sender(*keyboard, clock, *windows, SendPacing{20, 60});
        sender.setIdle([] { QThread::usleep(500); });
        return direct ? sender.sendDirect(target, line, 1) : sender.sendGrouped(line, target);
    }
    // Caps Lock as the user left it, switched with the Caps Lock key.
    void setCapsLock(bool on) {
        keyboard->prepareLine({});
        if (keyboard->capsLockOn() == on) return;
        keyboard->keyDown(20);
        keyboard->keyUp(20);
        keyboard->prepareLine({});
        ASSERT_EQ(keyboard->capsLockOn(), on);
    }
    // KWin gives the focus to another window a little after one closed: a send
    // begun before that would lose it on the way.
    void waitForSteadyFocus() {
        WindowHandle focused = 0;
        int steadyPasses = 0;
        waitUntil([&] {
            const WindowHandle now = windows->focusedWindow();
            steadyPasses = now != 0 && now == focused ? steadyPasses + 1 : 0;
            focused = now;
            return steadyPasses >= 4;
        }, 3000, [&] { windows->waitForChanges(50); });
    }
    WindowHandle windowTitled(const QString& title) {
        WindowHandle found = 0;
        waitUntil([&] {
            for (const TopWindow& w : windows->topWindows())
                if (w.title == title) found = w.handle;
            return found != 0;
        }, 15000, [&] { windows->waitForChanges(50); });
        return found;
    }

    DesktopBackends desktop;
    FakeInputKeyboard* keyboard = nullptr;
    PlasmaWindowSystem* windows = nullptr;
    SystemClock clock;
};

// One GTK entry: zenity prints its text when Enter closes it.
QString typeIntoZenity(KwinSend& test, const QString& line, bool direct) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GDK_BACKEND", "wayland");
    QProcess zenity;
    zenity.setProcessEnvironment(env);
    zenity.start("zenity", {"--entry", "--title", "GTK Receiver"});
    const WindowHandle window = test.windowTitled("GTK Receiver");
    if (!window) return "(no zenity window)";
    SendResult r = test.send(line + "[Enter]", window, direct);
    if (r != SendOutcome::Completed) return QStringLiteral("(send ended with %1)").arg(int(r.outcome));
    if (!zenity.waitForFinished(10000)) zenity.kill();
    zenity.waitForFinished(2000);
    waitUntil([&] { return !test.windows->exists(window); }, 5000, [&] { test.windows->waitForChanges(50); });
    test.waitForSteadyFocus();
    return QString::fromUtf8(zenity.readAllStandardOutput()).chopped(1);
}

// A terminal that writes every byte it reads to a file: foot, or xterm under
// XWayland (in a UTF-8 locale, as a desktop session starts it).
class TerminalReceiver {
public:
    explicit TerminalReceiver(bool x11 = false) : path_(QDir::current().filePath(x11 ? "xterm.out" : "foot.out")) {
        QFile::remove(path_);
        const QString shell = "stty -icanon -echo min 1; exec cat > " + path_;
        QProcessEnvironment env = x11 ? wayland_test::xwaylandEnvironment() : kwin_test::footEnvironment();
        if (x11) env.insert("LC_ALL", "C.UTF-8");
        program_ = std::make_unique<wayland_test::SessionProgram>(
            x11 ? "xterm" : "foot",
            x11 ? QStringList{"-T", "X11 Receiver", "-u8", "-e", "sh", "-c", shell}
                : QStringList{"--title", "Foot Receiver", "sh", "-c", shell},
            env);
    }
    // The next line, waiting for it.
    QString nextLine() {
        QStringList got;
        waitUntil([&] { return (got = readAll().split(u'\n')).size() > consumed_ + 1; }, 10000);
        return got.size() > consumed_ + 1 ? got[consumed_++] : QStringLiteral("(no line)");
    }

private:
    QString path_;
    int consumed_ = 0;
    std::unique_ptr<wayland_test::SessionProgram> program_;
    QString readAll() const {
        QFile f(path_);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

// The prefix of `line` before `stop` (all of it when the line has no stop).
QString before(const QString& line, char32_t stop) {
    if (!stop) return line;
    return line.left(line.indexOf(QString::fromUcs4(&stop, 1)));
}

TEST_F(KwinSend, LinesArriveExactlyOnEveryLayoutAndAnUntypableCharacterStopsTheSendBeforeIt) {
    kwin_test::SeatKeymap seat;
    ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Qt Receiver");
    const WindowHandle qtWindow = windowTitled("Qt Receiver");
    ASSERT_NE(qtWindow, 0u);
    TerminalReceiver foot, xterm(true);
    const WindowHandle footWindow = windowTitled("Foot Receiver");
    const WindowHandle xtermWindow = windowTitled("X11 Receiver");
    ASSERT_NE(footWindow, 0u);
    ASSERT_NE(xtermWindow, 0u);
    for (const Layout& layout : layouts()) {
        configureLayouts(seat, layout);
        for (bool caps : {false, true}) {
            for (bool direct : {true, false}) {
                SCOPED_TRACE((layout.names + (caps ? " caps on" : " caps off") +
                              (direct ? " direct" : " grouped")).toStdString());
                setCapsLock(caps);
                ASSERT_EQ(send(layout.ownLine + "[Tab]" + layout.ownLine + "[Enter]", qtWindow, direct),
                          SendOutcome::Completed);
                QJsonObject got = qt.next();
                EXPECT_EQ(got["user"].toString(), layout.ownLine);
                EXPECT_EQ(got["password"].toString(), layout.ownLine);
                EXPECT_EQ(keyboard->capsLockOn(), caps); // as the user left it
                EXPECT_EQ(keyboard->group(), layout.group);

                for (const auto& [line, stop] : {std::pair{kPunctuation, layout.punctuationStop},
                                                 std::pair{kLetters, layout.lettersStop}}) {
                    const SendResult r = send("[Tab]" + line + "[Enter]", qtWindow, direct);
                    if (!stop) {
                        EXPECT_EQ(r, SendOutcome::Completed);
                        EXPECT_EQ(qt.next()["password"].toString(), line);
                        continue;
                    }
                    EXPECT_EQ(r, SendOutcome::Untypable);
                    EXPECT_EQ(uint32_t(r.character), uint32_t(stop));
                    EXPECT_EQ(sendStoppedText(r), untypableText(stop));
                    // The keys typed before the stop arrive a little later; nothing after them.
                    QString arrived;
                    waitUntil([&] { return (arrived = qt.snapshot()["password"].toString()) == before(line, stop); }, 3000);
                    EXPECT_EQ(arrived, before(line, stop));
                    ASSERT_EQ(send("[Enter]", qtWindow, direct), SendOutcome::Completed);
                    EXPECT_EQ(qt.next()["event"].toString(), "submit");
                }
                // All the layout types, in one line, into GTK and the terminal.
                const QString gtkLine = layout.ownLine + before(kPunctuation, layout.punctuationStop) +
                                        before(kLetters, layout.lettersStop);
                EXPECT_EQ(typeIntoZenity(*this, gtkLine, direct), gtkLine);
                ASSERT_EQ(send(gtkLine + "[Enter]", footWindow, direct), SendOutcome::Completed);
                EXPECT_EQ(foot.nextLine(), gtkLine);
                ASSERT_EQ(send(gtkLine + "[Enter]", xtermWindow, direct), SendOutcome::Completed);
                EXPECT_EQ(xterm.nextLine(), gtkLine);
            }
            if (caps) {
                EXPECT_TRUE(kwin_test::screenshot("kwin-keys-" + QString(layout.names).replace(u',', u'-') + ".png"));
            }
        }
    }
    setCapsLock(false);
    configureLayouts(seat, layouts()[0]);
}

// Named keys are found in the layout: Backspace and Home edit, Ctrl+A selects
// all on a layout where A sits elsewhere (fr), Shift+Tab goes back.
TEST_F(KwinSend, NamedKeysAndShortcutsActOnTheLayoutsKeys) {
    kwin_test::SeatKeymap seat;
    ReceiverProcess qt(wayland_test::sessionFile("ql_receiver"), "Keys Receiver");
    const WindowHandle qtWindow = windowTitled("Keys Receiver");
    ASSERT_NE(qtWindow, 0u);
    for (const Layout& layout : {layouts()[0], layouts()[2]}) {
        SCOPED_TRACE(layout.names.toStdString());
        configureLayouts(seat, layout);
        ASSERT_EQ(send("abc[BS]d[HOME]x[Tab]old[^a]z[TAB 0][+TAB][END]e[Enter]", qtWindow, true),
                  SendOutcome::Completed);
        QJsonObject got = qt.next();
        EXPECT_EQ(got["user"].toString(), "xabd");
        EXPECT_EQ(got["password"].toString(), "ze");
    }
    EXPECT_TRUE(kwin_test::screenshot("kwin-named-keys.png"));
    configureLayouts(seat, layouts()[0]);
}

} // namespace
} // namespace ql
