#include "monitorapp/views/SessionEnd.h"
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace ql {

namespace {

int pipeEnds[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Only async-signal-safe work here: one byte down the pipe.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[0], &byte, 1);
}

} // namespace

SessionEnd::SessionEnd(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0) return;
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(pipeEnds[1], buffer, sizeof buffer) > 0) {
        }
        emit requested();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
}

SessionEnd::~SessionEnd() {
    for (int sig : kSignals) std::signal(sig, SIG_DFL);
    delete notifier_;
    for (int& end : pipeEnds) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

} // namespace ql
