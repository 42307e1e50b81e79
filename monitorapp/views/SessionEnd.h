#pragma once
#include <QObject>

class QSocketNotifier;

namespace ql {

// Turns SIGTERM, SIGHUP and SIGINT (the desktop session ending, the terminal
// closing, Ctrl+C) into a signal on the event loop, so that the program can
// close as it would from its menu. One instance at a time.
class SessionEnd : public QObject {
    Q_OBJECT
public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

signals:
    void requested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace ql
