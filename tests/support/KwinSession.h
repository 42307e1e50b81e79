#pragma once
// Helpers for tests and benchmarks on a headless KWin: the keymap KWin gives
// its seat, and its keyboard layouts set through its configuration.
#include "platform/kwinkeyboard/LayoutStrokes.h"
#include "platform/wayland/WaylandConnection.h"
#include "tests/support/WaylandSession.h"
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QString>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace ql::kwin_test {

using wayland_test::waitUntil;

// The keymap KWin gives the seat, as every client receives it.
class SeatKeymap {
public:
    SeatKeymap() : connection_(WaylandConnection::open()) {
        keyboard_ = wl_seat_get_keyboard(connection_->seat());
        static const wl_keyboard_listener listener = {
            .keymap = [](void* d, wl_keyboard*, uint32_t, int32_t fd, uint32_t size) {
                void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
                if (map != MAP_FAILED) {
                    static_cast<SeatKeymap*>(d)->text = QString::fromUtf8(static_cast<const char*>(map));
                    munmap(map, size);
                }
                close(fd);
            },
            .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
            .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
            .key = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
            .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
            .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
        };
        wl_keyboard_add_listener(keyboard_, &listener, this);
        connection_->roundTrip();
    }
    ~SeatKeymap() { wl_keyboard_release(keyboard_); }
    // Waits until the keymap has `groups` groups and each probe's character
    // on its key in `group`.
    bool waitFor(uint32_t groups, uint32_t group, const std::vector<std::pair<char32_t, uint32_t>>& probes) {
        return waitUntil([&] {
            LayoutStrokes layout;
            if (!layout.load(text.toStdString()) || layout.groups() != groups) return false;
            for (const auto& [ch, key] : probes) {
                std::optional<LayoutStroke> s = layout.strokeFor(ch, group, false);
                if (!s || s->key != key) return false;
            }
            return true;
        }, 10000, [&] { connection_->dispatchPending(100); });
    }
    QString text;

private:
    std::unique_ptr<WaylandConnection> connection_;
    wl_keyboard* keyboard_ = nullptr;
};

inline QDBusMessage layoutCall(const QString& method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.kde.keyboard", "/Layouts",
                                                       "org.kde.KeyboardLayouts", method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call);
}

// Writes KWin's keyboard configuration ("us,ru") and has it read again, then
// activates `group`; waits until the seat's keymap has the probes'
// characters on their keys. False when it did not change so.
inline bool configureLayouts(SeatKeymap& seat, const QString& names, unsigned group,
                             const std::vector<std::pair<char32_t, uint32_t>>& probes) {
    QFile config(qEnvironmentVariable("XDG_CONFIG_HOME") + "/kxkbrc");
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    config.write(("[Layout]\nLayoutList=" + names + "\nUse=true\n").toUtf8());
    config.close();
    QDBusConnection::sessionBus().send(
        QDBusMessage::createSignal("/Layouts", "org.kde.keyboard", "reloadConfig"));
    if (!seat.waitFor(uint32_t(names.count(u',') + 1), group, probes)) return false;
    if (!names.contains(u',')) return true;
    layoutCall("setLayout", {QVariant::fromValue(uint(group))});
    return waitUntil([&] {
        QDBusReply<uint> now = layoutCall("getLayout");
        return now.isValid() && now.value() == group;
    }, 5000);
}

} // namespace ql::kwin_test
