#include "platform/desktop/DesktopBackends.h"
#include "platform/desktop/NoDesktop.h"
#include "platform/desktop/WaylandFamilies.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/x11keyboard/X11Keyboard.h"
#include "platform/x11windows/X11WindowSystem.h"
#include <algorithm>

namespace ql {

DesktopBackends::DesktopBackends() = default;
DesktopBackends::DesktopBackends(DesktopBackends&&) noexcept = default;
DesktopBackends& DesktopBackends::operator=(DesktopBackends&&) noexcept = default;
DesktopBackends::~DesktopBackends() {
    // The services go before the connection they may share.
    windows.reset();
    keyboard.reset();
    clipboardClearing.reset();
}

SessionDisplays SessionDisplays::fromEnvironment() {
    return {qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY")};
}

namespace {

const QString kNoX11Notice =
    QStringLiteral("No X11 display: sending keystrokes and watching windows are off");
const QString kNoDesktopNotice = QStringLiteral(
    "No X11 display or Wayland compositor: sending keystrokes and watching windows are off");

DesktopBackends noDesktop(const DesktopRequest& request, QString notice) {
    DesktopBackends b;
    b.name = QStringLiteral("none");
    b.keystrokes = QStringLiteral("Keystrokes: off");
    b.notice = std::move(notice);
    b.windows = std::make_unique<NoDesktopWindowSystem>();
    b.keyboard = std::make_unique<NoDesktopKeyboard>();
    if (request.toolkitClipboard)
        b.clipboardClearing = std::make_unique<ToolkitClipboardClearing>(*request.toolkitClipboard);
    else
        b.clipboardClearing = std::make_unique<NoClipboardClearing>();
    return b;
}

DesktopBackends x11Desktop(const DesktopRequest& request, const QString& display) {
    const QByteArray name = display.toLocal8Bit();
    auto windows = std::make_unique<X11WindowSystem>(name.constData(), request.controls);
    if (!windows->available()) return noDesktop(request, kNoX11Notice);
    DesktopBackends b;
    b.name = QStringLiteral("X11");
    b.keystrokes = QStringLiteral("Keystrokes: X11 XTest");
    b.windows = std::move(windows);
    auto keyboard = std::make_unique<X11Keyboard>(name.constData());
    if (!keyboard->available())
        b.notice = QStringLiteral("X11 display without XTest: sending keystrokes is off");
    b.keyboard = std::move(keyboard);
    if (request.toolkitClipboard)
        b.clipboardClearing = std::make_unique<ToolkitClipboardClearing>(*request.toolkitClipboard);
    else
        b.clipboardClearing = std::make_unique<NoClipboardClearing>();
    return b;
}

QString compositorLabel(const WaylandConnection& connection) {
    const std::string& name = connection.compositorName();
    return name.empty() ? QStringLiteral("Wayland") : QString::fromStdString(name);
}

DesktopBackends waylandDesktop(const DesktopRequest& request,
                               const std::shared_ptr<WaylandConnection>& connection) {
    const QString compositor = compositorLabel(*connection);
    const WaylandFamily* family = fittingFamily(waylandFamilies(), connection->globals());
    if (!family)
        return noDesktop(request, QStringLiteral("Wayland (%1) offers no way to type into other "
                                                 "windows: sending keystrokes and watching windows are off")
                                      .arg(compositor));
    DesktopBackends b;
    b.name = QStringLiteral("Wayland (%1)").arg(compositor);
    b.keystrokes = QStringLiteral("Keystrokes: %1 (%2)").arg(family->keystrokesName, compositor);
    b.wayland = connection;
    family->open(connection, request, b);
    if (!b.windows) b.windows = std::make_unique<NoDesktopWindowSystem>();
    if (!b.keyboard) b.keyboard = std::make_unique<NoDesktopKeyboard>();
    if (!b.clipboardClearing) b.clipboardClearing = std::make_unique<NoClipboardClearing>();
    if (b.notice.isEmpty() && !b.keyboard->available())
        b.notice = QStringLiteral("%1: sending keystrokes is off").arg(b.name);
    if (b.notice.isEmpty() && !b.clipboardClearing->available())
        b.notice = QStringLiteral("%1: %2; clearing the clipboard is not possible")
                       .arg(b.name, b.keystrokes.mid(b.keystrokes.indexOf(u' ') + 1));
    return b;
}

} // namespace

const WaylandFamily* fittingFamily(const std::vector<WaylandFamily>& families,
                                   const std::vector<WaylandGlobal>& globals) {
    auto offered = [&globals](const std::string& interface) {
        return std::any_of(globals.begin(), globals.end(),
                           [&interface](const WaylandGlobal& g) { return g.interface == interface; });
    };
    for (const WaylandFamily& family : families)
        if (std::all_of(family.required.begin(), family.required.end(), offered)) return &family;
    return nullptr;
}

const std::vector<WaylandFamily>& waylandFamilies() {
    static const std::vector<WaylandFamily> families = {
        {QStringLiteral("Wayland virtual keyboard"),
         {"zwlr_foreign_toplevel_manager_v1", "zwp_virtual_keyboard_manager_v1"},
         &openWlrootsBackends},
        {QStringLiteral("KWin fake input"),
         {"org_kde_plasma_window_management", "org_kde_kwin_fake_input"},
         &openKwinBackends},
        // Only GNOME's compositor offers its shell's own protocol.
        {QStringLiteral("desktop portal"), {"gtk_shell1"}, &openGnomeBackends},
    };
    return families;
}

namespace {

struct EarlyConnection {
    QString display;
    std::shared_ptr<WaylandConnection> connection;
};

EarlyConnection& earlyConnection() {
    static EarlyConnection early;
    return early;
}

// The connection opened at the start for `display`, once; null when there is
// none or it broke meanwhile.
std::shared_ptr<WaylandConnection> takeEarlyConnection(const QString& display) {
    EarlyConnection& early = earlyConnection();
    std::shared_ptr<WaylandConnection> c = std::move(early.connection);
    early.connection.reset();
    if (!c || early.display != display || c->broken()) return nullptr;
    return c;
}

} // namespace

void prepareDesktopEarly(const SessionDisplays& displays) {
    if (displays.wayland.isEmpty()) return;
    const QByteArray socket = displays.wayland.toLocal8Bit();
    std::shared_ptr<WaylandConnection> c = WaylandConnection::open(socket.constData());
    if (!c || !bindKwinGlobalsEarly(*c)) return;
    earlyConnection() = {displays.wayland, std::move(c)};
}

DesktopBackends openDesktop(const DesktopRequest& request, const SessionDisplays& displays) {
    if (!displays.wayland.isEmpty()) {
        if (std::shared_ptr<WaylandConnection> c = takeEarlyConnection(displays.wayland))
            return waylandDesktop(request, c);
        const QByteArray socket = displays.wayland.toLocal8Bit();
        if (std::shared_ptr<WaylandConnection> c = WaylandConnection::open(socket.constData()))
            return waylandDesktop(request, c);
    }
    if (!displays.x11.isEmpty()) return x11Desktop(request, displays.x11);
    return noDesktop(request, kNoDesktopNotice);
}

QString describeDesktop(const SessionDisplays& displays) {
    const DesktopBackends b = openDesktop({}, displays);
    return b.name == QLatin1String("none") ? QString() : b.keystrokes;
}

} // namespace ql
