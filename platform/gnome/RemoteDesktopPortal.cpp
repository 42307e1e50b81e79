#include "platform/gnome/RemoteDesktopPortal.h"
#include "platform/gnome/RestoreTokenFile.h"
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace ql {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
constexpr uint kKeyboardDevice = 1;
constexpr uint kPersistUntilRevoked = 2;
constexpr uint kUserCancelled = 1;
constexpr std::chrono::milliseconds kSetupWait{10000};

QVariant portalProperty(const QString& name) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath,
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call << kInterface << name;
    QDBusReply<QDBusVariant> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    return reply.isValid() ? reply.value().variant() : QVariant();
}

} // namespace

RemoteDesktopPortal::RemoteDesktopPortal(QString tokenPath, QObject* parent)
    : QObject(parent), tokenPath_(std::move(tokenPath)) {}

RemoteDesktopPortal::~RemoteDesktopPortal() { close(); }

bool RemoteDesktopPortal::offered() {
    if (!QDBusConnection::sessionBus().isConnected()) return false;
    return (portalProperty(QStringLiteral("AvailableDeviceTypes")).toUInt() & kKeyboardDevice) != 0;
}

uint RemoteDesktopPortal::version() { return portalProperty(QStringLiteral("version")).toUInt(); }

QString RemoteDesktopPortal::nextToken() {
    return QStringLiteral("quillock%1_%2").arg(QCoreApplication::applicationPid()).arg(++tokenCounter_);
}

// The portal answers on an object named after our bus name and the token.
QString RemoteDesktopPortal::requestPath(const QString& token) const {
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void RemoteDesktopPortal::onResponse(uint response, const QVariantMap& results) {
    response_ = response;
    results_ = results;
}

// One call of the portal's request pattern: the answer comes as a Response
// signal on the request's object, to which we listen before calling.
bool RemoteDesktopPortal::request(const QString& method, const QList<QVariant>& leading,
                                  QVariantMap options, std::chrono::milliseconds wait) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = nextToken();
    const QString path = requestPath(token);
    options.insert(QStringLiteral("handle_token"), token);
    response_.reset();
    results_.clear();
    bus.connect(kService, path, kRequest, QStringLiteral("Response"), this,
                SLOT(onResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    QList<QVariant> arguments = leading;
    arguments << options;
    call.setArguments(arguments);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    bool answered = reply.type() == QDBusMessage::ReplyMessage;
    if (answered) {
        QDeadlineTimer deadline(wait);
        while (!response_ && !deadline.hasExpired()) {
            QEventLoop loop;
            QTimer::singleShot(20, &loop, &QEventLoop::quit);
            loop.exec();
        }
        answered = response_.has_value();
    }
    bus.disconnect(kService, path, kRequest, QStringLiteral("Response"), this,
                   SLOT(onResponse(uint, QVariantMap)));
    if (!answered)
        failure_ = reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage()
                                                                : QStringLiteral("the desktop did not answer");
    return answered;
}

// A portal before version 2 knows no persistence and is sent none of it.
QVariantMap RemoteDesktopPortal::selectOptions() {
    QVariantMap select{{QStringLiteral("types"), kKeyboardDevice}};
    if (version() < 2) return select;
    select.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
    if (restoreToken_.isEmpty() && !tokenPath_.isEmpty()) restoreToken_ = RestoreTokenFile(tokenPath_).load();
    if (!restoreToken_.isEmpty()) select.insert(QStringLiteral("restore_token"), restoreToken_);
    return select;
}

// A token serves once: each start hands out the next one.
void RemoteDesktopPortal::keepRestoreToken() {
    const QString token = results_.value(QStringLiteral("restore_token")).toString();
    if (!RestoreTokenFile::plausible(token)) return;
    restoreToken_ = token;
    if (!tokenPath_.isEmpty()) RestoreTokenFile(tokenPath_).save(token);
}

RemoteDesktopPortal::State RemoteDesktopPortal::start(std::chrono::milliseconds answerWait) {
    if (state_ == State::Started) return state_;
    failure_.clear();
    state_ = State::Failed;
    const QString sessionToken = nextToken();
    if (!request(QStringLiteral("CreateSession"), {},
                 {{QStringLiteral("session_handle_token"), sessionToken}}, kSetupWait))
        return state_;
    if (*response_ != 0) {
        failure_ = QStringLiteral("the desktop refused a session");
        return state_;
    }
    session_ = results_.value(QStringLiteral("session_handle")).toString();
    const QDBusObjectPath session(session_);
    if (!request(QStringLiteral("SelectDevices"), {QVariant::fromValue(session)}, selectOptions(), kSetupWait) ||
        *response_ != 0) {
        if (failure_.isEmpty()) failure_ = QStringLiteral("the desktop offers no keyboard");
        close();
        return state_;
    }
    if (!request(QStringLiteral("Start"), {QVariant::fromValue(session), QString()}, {}, answerWait)) {
        close();
        return state_;
    }
    const uint devices = results_.value(QStringLiteral("devices")).toUInt();
    if (*response_ != 0 || !(devices & kKeyboardDevice)) {
        state_ = *response_ == kUserCancelled || *response_ == 0 ? State::Refused : State::Failed;
        failure_ = QStringLiteral("typing into other windows was not allowed");
        close();
        return state_;
    }
    keepRestoreToken();
    state_ = State::Started;
    return state_;
}

bool RemoteDesktopPortal::keysym(int keysym, bool press) {
    if (state_ != State::Started) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("NotifyKeyboardKeysym"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap() << keysym << uint(press ? 1 : 0);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

bool RemoteDesktopPortal::keycode(int evdevCode, bool press) {
    if (state_ != State::Started) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("NotifyKeyboardKeycode"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap() << evdevCode << uint(press ? 1 : 0);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

void RemoteDesktopPortal::close() {
    if (session_.isEmpty()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, session_,
                                                       QStringLiteral("org.freedesktop.portal.Session"),
                                                       QStringLiteral("Close"));
    QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    session_.clear();
    if (state_ == State::Started) state_ = State::NotStarted;
}

} // namespace ql
