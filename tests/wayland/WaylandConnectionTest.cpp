#include "platform/wayland/WaylandConnection.h"
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace ql;
using namespace std::chrono;

namespace {

// A socket that takes connections and never answers: a compositor that stalled.
class SilentCompositor {
public:
    SilentCompositor() : path_(dir_.filePath("wayland-silent").toStdString()) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        path_.copy(addr.sun_path, sizeof addr.sun_path - 1);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                 listen(fd_, 4) == 0;
    }
    ~SilentCompositor() { close(fd_); }
    bool ready() const { return bound_; }
    const char* path() const { return path_.c_str(); }

private:
    QTemporaryDir dir_;
    std::string path_;
    int fd_ = -1;
    bool bound_ = false;
};

} // namespace

// A connection to a compositor that never answers gives up after its patience
// instead of hanging the program, and says there is no compositor.
TEST(WaylandConnectionTest, ACompositorThatNeverAnswersIsGivenUpOn) {
    SilentCompositor silent;
    ASSERT_TRUE(silent.ready());
    const auto start = steady_clock::now();
    EXPECT_EQ(WaylandConnection::open(silent.path(), milliseconds(300)), nullptr);
    const auto waited = steady_clock::now() - start;
    EXPECT_GE(waited, milliseconds(250));
    EXPECT_LT(waited, seconds(5));
}

TEST(WaylandConnectionTest, AMissingSocketMeansNoCompositor) {
    EXPECT_EQ(WaylandConnection::open("/nonexistent/wayland-0", milliseconds(300)), nullptr);
}
