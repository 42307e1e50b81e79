#pragma once
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <chrono>
#include <optional>

namespace ql {

// A remote-desktop session of the desktop portal that types on the user's
// behalf: the portal asks the user (with the desktop's own dialog) whether
// this program may control the keyboard, and from then on takes key symbols
// and key codes. The session is opened once and kept for the run.
class RemoteDesktopPortal : public QObject {
    Q_OBJECT
public:
    enum class State { NotStarted, Started, Refused, Failed };

    // `tokenPath` keeps the restore token between runs where the portal
    // offers persistence (none kept when empty).
    explicit RemoteDesktopPortal(QString tokenPath = {}, QObject* parent = nullptr);
    ~RemoteDesktopPortal() override;

    // Whether the session bus has a portal that offers the keyboard.
    static bool offered();
    // The portal's interface version (persistence needs 2), 0 when absent.
    static uint version();

    // Opens the session and asks for the keyboard, waiting (with the event
    // loop running) for the user's answer at most `answerWait`. Where the
    // portal keeps permissions (version 2 and later), the session is asked to
    // persist, the restore token of an earlier run skips the question, and
    // the new token is saved for the next run.
    State start(std::chrono::milliseconds answerWait);
    State state() const { return state_; }
    // Why the last start did not give a session, for the user.
    QString failure() const { return failure_; }
    // A token for the next run's start (empty when the portal gives none).
    QString restoreToken() const { return restoreToken_; }
    void setRestoreToken(const QString& token) { restoreToken_ = token; }

    bool keysym(int keysym, bool press);
    bool keycode(int evdevCode, bool press);
    void close();

private Q_SLOTS:
    void onResponse(uint response, const QVariantMap& results);

private:
    State state_ = State::NotStarted;
    QString failure_;
    QString session_;
    QString restoreToken_;
    QString tokenPath_;
    int tokenCounter_ = 0;
    std::optional<uint> response_;
    QVariantMap results_;

    bool request(const QString& method, const QList<QVariant>& leading, QVariantMap options,
                 std::chrono::milliseconds wait);
    QString nextToken();
    QString requestPath(const QString& token) const;
    QVariantMap selectOptions();
    void keepRestoreToken();
};

} // namespace ql
