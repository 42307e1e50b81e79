#include "platform/gnome/PortalKeyboard.h"
#include "platform/gnome/KeysymPlanner.h"
#include "platform/gnome/RestoreTokenFile.h"
#include "platform/gnome/SeatKeymap.h"
#include "platform/wlkeyboard/KeymapText.h"
#include <QGuiApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

constexpr uint32_t kCapsLockKey = 58; // Linux input event codes
constexpr uint32_t kShiftKey = 42;

// The compose table of the user's locale, or of English where the locale has
// none (the C locale): the receivers' dead keys follow the same sequences.
xkb_compose_table* composeTable(xkb_context* context) {
    const QByteArray locale = qgetenv("LC_ALL").isEmpty()
                                  ? (qgetenv("LC_CTYPE").isEmpty() ? qgetenv("LANG") : qgetenv("LC_CTYPE"))
                                  : qgetenv("LC_ALL");
    xkb_compose_table* table = nullptr;
    if (!locale.isEmpty() && locale != "C" && locale != "POSIX")
        table = xkb_compose_table_new_from_locale(context, locale.constData(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (!table)
        table = xkb_compose_table_new_from_locale(context, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    return table;
}

// Each program keeps a token of its own ("quillock", "qlmon"): a token serves
// one start, and both programs may run at once.
QString tokenOwner() {
    const QString command = QGuiApplication::desktopFileName();
    return command.isEmpty() || command.contains(u'/') ? QStringLiteral("quillock") : command;
}

} // namespace

std::optional<bool> capsLockLight(const QString& folder) {
    const QStringList lights = QDir(folder).entryList({QStringLiteral("*::capslock")}, QDir::Dirs | QDir::System);
    if (lights.isEmpty()) return std::nullopt;
    for (const QString& light : lights) {
        QFile f(folder + u'/' + light + QStringLiteral("/brightness"));
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed().toInt() > 0) return true;
    }
    return false;
}

PortalKeyboard::PortalKeyboard(std::shared_ptr<WaylandConnection> connection, std::function<bool()> explain,
                               QString lightsFolder)
    : connection_(std::move(connection)), explain_(std::move(explain)), lightsFolder_(std::move(lightsFolder)),
      offered_(RemoteDesktopPortal::offered()),
      portal_(RestoreTokenFile::defaultPath(tokenOwner())),
      context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    if (context_) compose_ = composeTable(context_);
}

PortalKeyboard::~PortalKeyboard() {
    releaseAll();
    portal_.close();
    seat_.reset();
    if (compose_) xkb_compose_table_unref(compose_);
    if (context_) xkb_context_unref(context_);
}

bool PortalKeyboard::offered() { return RemoteDesktopPortal::offered(); }

// The session is asked for at the first send; a refusal holds for the run, so
// the desktop's dialog does not come back at every watched window.
bool PortalKeyboard::prepareSend() {
    if (portal_.state() == RemoteDesktopPortal::State::Started) return true;
    if (asked_) return false;
    if (explain_ && !explain_()) return false; // not asked yet: the next send explains again
    asked_ = true;
    if (portal_.start(kAnswerWait) != RemoteDesktopPortal::State::Started) return false;
    // The compositor makes our keyboard at its first key: a Shift tap, which
    // types nothing, brings it, and with it the seat's keyboard and layout.
    if (!seat_) seat_ = std::make_unique<SeatKeymap>(connection_);
    sendKey(kShiftKey, true);
    sendKey(kShiftKey, false);
    seat_->waitForKeymap(std::chrono::seconds(3));
    return true;
}

void PortalKeyboard::prepareLine(const QString&) {
    if (seat_) seat_->refresh(true); // the user may have changed the layout
}

bool PortalKeyboard::capsLockOn() {
    const std::optional<bool> light = capsLockLight(lightsFolder_);
    return light ? *light : capsSent_;
}

bool PortalKeyboard::typeCharacter(char32_t ch, bool) {
    if (portal_.state() != RemoteDesktopPortal::State::Started || !seat_ || !seat_->keymap()) return false;
    KeysymPlanner planner(seat_->keymap(), compose_);
    const std::optional<std::vector<uint32_t>> plan = planner.planInEveryGroup(ch, capsLockOn());
    if (!plan) return false;
    // A toolkit that composes dead keys itself (Qt) may hand the composed
    // character over ahead of plain keys it still has queued: the keys
    // before it get a moment to arrive first.
    if (plan->size() > 1) QThread::msleep(uint(kComposeGap.count()));
    // Each release goes out as soon as the portal took the press, and not
    // before: the portal handles calls on threads of its own, so a release
    // sent ahead of the press's answer may overtake it and leave a key (and
    // the Shift or AltGr the compositor holds for it) pressed.
    for (uint32_t keysym : *plan)
        if (!portal_.keysym(int(keysym), true) || !portal_.keysym(int(keysym), false)) return false;
    return true;
}

bool PortalKeyboard::sendKey(uint32_t evdevCode, bool press) {
    if (!portal_.keycode(int(evdevCode), press)) return false;
    if (press) pressed_.insert(evdevCode);
    else pressed_.erase(evdevCode);
    if (evdevCode == kCapsLockKey && press) capsSent_ = !capsSent_;
    return true;
}

void PortalKeyboard::keyDown(int virtualKey) {
    if (const uint32_t key = KeymapBuilder::keyOfVirtualKey(virtualKey)) sendKey(key, true);
}

void PortalKeyboard::keyUp(int virtualKey) {
    if (const uint32_t key = KeymapBuilder::keyOfVirtualKey(virtualKey)) sendKey(key, false);
}

void PortalKeyboard::releaseAll() {
    const std::set<uint32_t> held = pressed_;
    for (auto it = held.rbegin(); it != held.rend(); ++it) sendKey(*it, false);
}

} // namespace ql
