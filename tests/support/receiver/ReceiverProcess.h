#pragma once
// Starts ql_receiver and reads the JSON lines it reports (see main.cpp beside
// this file). Needs a QCoreApplication and a display.
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <csignal>

namespace ql {

class ReceiverProcess {
public:
    // `path` is the ql_receiver executable; waits until its window has the focus.
    ReceiverProcess(const QString& path, const QString& title, QStringList extra = {}) {
        proc_.start(path, QStringList{"--title", title} + extra);
        QJsonObject ready = next(20000);
        if (ready["event"].toString() != "ready") return;
        window = quint64(ready["window"].toInteger());
        userAt = {ready["userAt"][0].toInt(), ready["userAt"][1].toInt()};
        passwordAt = {ready["passwordAt"][0].toInt(), ready["passwordAt"][1].toInt()};
    }
    ~ReceiverProcess() {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) proc_.kill();
    }
    ReceiverProcess(const ReceiverProcess&) = delete;
    ReceiverProcess& operator=(const ReceiverProcess&) = delete;

    // The next report line, or an empty object after `timeoutMs` without one.
    QJsonObject next(int timeoutMs = 10000) {
        while (!proc_.canReadLine())
            if (!proc_.waitForReadyRead(timeoutMs)) return {};
        return QJsonDocument::fromJson(proc_.readLine()).object();
    }
    // What the fields hold right now.
    QJsonObject snapshot() {
        ::kill(pid_t(proc_.processId()), SIGUSR1);
        return next();
    }

    quint64 window = 0; // native window id, 0 when the receiver did not come up
    QPoint userAt, passwordAt; // screen centres of the two fields
private:
    QProcess proc_;
};

} // namespace ql
