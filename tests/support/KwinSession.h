#pragma once
// Helpers for tests and benchmarks on a headless KWin: the keymap KWin gives
// its seat, and its keyboard layouts set through its configuration.
#include "platform/kwinkeyboard/LayoutStrokes.h"
#include "platform/wayland/WaylandConnection.h"
#include "tests/support/WaylandSession.h"
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QImage>
#include <QProcessEnvironment>
#include <fcntl.h>
#include <poll.h>
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

// The environment for foot: KWin's virtual outputs have no physical size,
// which foot divides by when an output appears; the test's shim gives them one.
inline QProcessEnvironment footEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), wayland_test::sessionFile(QStringLiteral("ql_output_size_shim.so")));
    return env;
}

// Saves KWin's whole workspace as a PNG (the session lets tests take it); a
// relative name lands in the current folder. False when KWin gave no image.
inline bool screenshot(const QString& name) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    QDBusPendingCall pending = [&] {
        // The message holds a copy of the pipe's end: it goes before the reading.
        QDBusMessage call = QDBusMessage::createMethodCall("org.kde.KWin", "/org/kde/KWin/ScreenShot2",
                                                           "org.kde.KWin.ScreenShot2", "CaptureWorkspace");
        call << QVariantMap{} << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
        return QDBusConnection::sessionBus().asyncCall(call, 10000);
    }();
    close(fds[1]);
    QByteArray data;
    char buffer[65536];
    // Until the whole image came (its size is in the reply) or KWin closed its
    // end; 10 s at most between two pieces.
    auto complete = [&] {
        if (!pending.isFinished()) return false;
        const QVariantMap r = QDBusPendingReply<QVariantMap>(pending).value();
        return data.size() >= qsizetype(r.value("stride").toInt()) * r.value("height").toInt();
    };
    for (int quiet = 0; quiet < 100 && !complete();) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) { ++quiet; continue; }
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        data.append(buffer, n);
        quiet = 0;
    }
    close(fds[0]);
    QDBusPendingReply<QVariantMap> reply(pending);
    reply.waitForFinished();
    if (!reply.isValid()) return false;
    const QVariantMap r = reply.value();
    const int width = r.value("width").toInt(), height = r.value("height").toInt();
    const int stride = r.value("stride").toInt();
    if (width <= 0 || height <= 0 || data.size() < qsizetype(stride) * height) return false;
    const QImage image(reinterpret_cast<const uchar*>(data.constData()), width, height, stride,
                       QImage::Format(r.value("format").toInt()));
    return image.save(QDir::current().filePath(name));
}

} // namespace ql::kwin_test
