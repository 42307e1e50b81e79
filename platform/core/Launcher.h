#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace ql {

// Starting things outside the program: a URL or document with the desktop's
// default application, or a program of its own, never through a shell.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Opens an address or a local file (file: URL) with the desktop's default
    // application; false when nothing could be asked to open it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts `program` detached from this process with exactly these
    // arguments, no shell in between; false when it could not be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

// Test double: records every request and answers from two switches.
class FakeLauncher : public Launcher {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };
    bool opens = true;
    bool starts = true;
    std::vector<QUrl> opened;
    std::vector<Start> started;

    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return opens;
    }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
        return starts;
    }
};

} // namespace ql
