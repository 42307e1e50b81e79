// ql_receiver: a small window that end-to-end tests type into.
//
// Usage: ql_receiver [--title TEXT] [--no-user-label] [--out FILE]
//   --title TEXT      window title (default "Login - Receiver")
//   --no-user-label   leave out the "User name" label (the field stays)
//   --out FILE        write the report lines to FILE instead of stdout
//
// The window holds a "User name" line edit (focused at start), a "Password"
// line edit and a multi-line "Notes" field. It reports one JSON object per
// line, flushed at once:
//   {"event":"ready","pid":N,"window":W,"userAt":[X,Y],"passwordAt":[X,Y]}
//                                                 once the window is shown and
//                                                 holds the keyboard focus (W is
//                                                 the native window id; userAt and
//                                                 passwordAt are the centres of the
//                                                 two fields on the screen)
//   {"event":"submit","user":U,"password":P,"notes":T}
//                                                 Enter/Return in the password
//                                                 field; the fields are then
//                                                 cleared and "User name" gets
//                                                 the focus again
//   {"event":"snapshot","user":...,"password":...,"notes":...}
//                                                 on SIGUSR1 (what has arrived
//                                                 so far, nothing is cleared)
//   {"event":"final",...}                         on SIGTERM/SIGINT, then it quits
// It prints only what it was sent; it is a test tool and never handles real
// secrets.
#include <QApplication>
#include <QFile>
#include <QFormLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int sig) {
    char c = char(sig);
    (void)!write(signalPipe[1], &c, 1);
}

struct Receiver {
    QWidget window;
    QLineEdit user;
    QLineEdit password;
    QPlainTextEdit notes;
    FILE* out = stdout;

    void report(const QString& event) {
        QJsonObject o{{"event", event}, {"user", user.text()}, {"password", password.text()},
                      {"notes", notes.toPlainText()}};
        write(o);
    }
    void write(const QJsonObject& o) {
        QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
        fwrite(line.constData(), 1, size_t(line.size()), out);
        fflush(out);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString title = QStringLiteral("Login - Receiver");
    bool userLabel = true;
    QString outPath;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--title" && i + 1 < args.size()) title = args[++i];
        else if (args[i] == "--no-user-label") userLabel = false;
        else if (args[i] == "--out" && i + 1 < args.size()) outPath = args[++i];
    }

    Receiver r;
    if (!outPath.isEmpty()) {
        r.out = fopen(QFile::encodeName(outPath).constData(), "w");
        if (!r.out) return 2;
    }
    r.window.setWindowTitle(title);
    auto* form = new QFormLayout(&r.window);
    if (userLabel) form->addRow(new QLabel(QStringLiteral("User name")), &r.user);
    else form->addRow(&r.user);
    form->addRow(new QLabel(QStringLiteral("Password")), &r.password);
    form->addRow(new QLabel(QStringLiteral("Notes")), &r.notes);
    r.user.setAccessibleName(QStringLiteral("User name"));
    r.password.setAccessibleName(QStringLiteral("Password"));
    r.notes.setAccessibleName(QStringLiteral("Notes"));
    QObject::connect(&r.password, &QLineEdit::returnPressed, [&r] {
        r.report(QStringLiteral("submit"));
        r.user.clear();
        r.password.clear();
        r.notes.clear();
        r.user.setFocus();
    });

    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return 2;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char sig = 0;
        if (read(signalPipe[0], &sig, 1) != 1) return;
        if (sig == SIGUSR1) { r.report(QStringLiteral("snapshot")); return; }
        r.report(QStringLiteral("final"));
        app.quit();
    });
    for (int sig : {SIGUSR1, SIGTERM, SIGINT}) std::signal(sig, onSignal);

    r.window.resize(420, 260);
    r.window.show();
    r.user.setFocus();
    // "ready" once the window really has the keyboard focus.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!r.window.isActiveWindow()) { r.window.activateWindow(); return; }
        poll.stop();
        auto centre = [](QWidget& w) {
            QPoint p = w.mapToGlobal(w.rect().center());
            return QJsonArray{p.x(), p.y()};
        };
        r.write({{"event", "ready"}, {"pid", qint64(getpid())},
                 {"window", qint64(r.window.winId())},
                 {"userAt", centre(r.user)}, {"passwordAt", centre(r.password)}});
    });
    poll.start(20);
    return app.exec();
}
