#pragma once
#include "platform/core/ClipboardClearing.h"
#include "platform/core/Keyboard.h"
#include "platform/core/WindowSystem.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace ql {

class Clipboard;
class ControlTextSource;
class WaylandConnection;

// What the programs tell the user before the desktop first asks whether
// Quillock may type (GNOME's remote-interaction dialog).
inline const QString kTypingPermissionTitle = QStringLiteral("Typing Into Other Windows");
inline const QString kTypingPermissionText = QStringLiteral(
    "To type logins into other programs' windows, Quillock needs your leave. The desktop will now ask "
    "whether Quillock may control the keyboard: tick \"Allow remote interaction\" and press Share. "
    "Quillock asks once each time it starts, and types only what you send.");

// The displays the session announces in its environment.
struct SessionDisplays {
    QString x11;     // $DISPLAY
    QString wayland; // $WAYLAND_DISPLAY
    static SessionDisplays fromEnvironment();
};

// What the program hands to the backends it asks for.
struct DesktopRequest {
    // Texts of a window's controls (the accessibility bus); may be null.
    std::shared_ptr<ControlTextSource> controls;
    // The toolkit's clipboard, which clears the clipboard where the desktop
    // lets any client set it (X11); may be null.
    Clipboard* toolkitClipboard = nullptr;
    // Application ids of this program's own windows on Wayland ("quillock").
    QStringList ownAppIds;
    // Tells the user, before the desktop asks whether we may type, why we
    // ask; false when the user would rather not be asked now. May be empty.
    std::function<bool()> explainTyping;
};

// The desktop services of the running session, chosen once per run: X11, a
// Wayland compositor family we can drive, or none (every service then says it
// is not available).
struct DesktopBackends {
    // "X11", "Wayland (sway)", "none".
    QString name;
    // What types the keystrokes, for the status bar, the About window and
    // --version: "Keystrokes: Wayland virtual keyboard (sway)".
    QString keystrokes;
    // What is off and why, for the status bar; empty when everything works.
    QString notice;
    std::unique_ptr<WindowSystem> windows;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<ClipboardClearing> clipboardClearing;
    // The connection the Wayland backends share (null elsewhere).
    std::shared_ptr<WaylandConnection> wayland;

    DesktopBackends();
    DesktopBackends(DesktopBackends&&) noexcept;
    DesktopBackends& operator=(DesktopBackends&&) noexcept;
    ~DesktopBackends();

    // The line the status bar shows: the notice when something is off, else
    // what types the keystrokes.
    QString statusText() const { return notice.isEmpty() ? keystrokes : notice; }
};

// The backends for `displays`: X11 when there is an X display and no Wayland
// compositor answers, the first Wayland family whose protocols the compositor
// offers when one answers, the "no desktop" ones otherwise.
DesktopBackends openDesktop(const DesktopRequest& request,
                            const SessionDisplays& displays = SessionDisplays::fromEnvironment());

// Opens the session's Wayland connection at the program's start and binds
// there the globals KWin gives only to programs whose desktop entry names
// them: KWin checks a client's executable when it binds, and the programs hide
// theirs once they are hardened. The next openDesktop for the same display
// uses that connection. Nothing happens without a Wayland display or on a
// compositor that offers none of them.
void prepareDesktopEarly(const SessionDisplays& displays = SessionDisplays::fromEnvironment());

// The keystrokes line of the session's backends, for --version before the
// toolkit starts; empty when there is no desktop to type into.
QString describeDesktop(const SessionDisplays& displays = SessionDisplays::fromEnvironment());

} // namespace ql
