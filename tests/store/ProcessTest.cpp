// Two processes on the same tables: a forked child plays the other program.
#include "StoreTestSupport.h"
#include <QElapsedTimer>
#include <sys/wait.h>
#include <unistd.h>

using namespace ql;
using namespace ql::store_error;
using ql::test::StoreFolder;

namespace {

using TwoProcessTest = StoreFolder;

// Forks a child that runs body and ends with its result as exit status; the
// parent gets the pid once the child wrote its first byte to the pipe.
template <typename Body>
pid_t forkChild(Body body) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const int status = body(fds[1]);
        _exit(status);
    }
    close(fds[1]);
    char byte = 0;
    if (read(fds[0], &byte, 1) != 1)
        ADD_FAILURE() << "child ended before it signalled";
    close(fds[0]);
    return pid;
}

int childStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void signalParent(int fd) {
    const char byte = 1;
    (void)!write(fd, &byte, 1);
}

} // namespace

TEST_F(TwoProcessTest, WriterWaitsForTheOtherProcessesLockAndNothingIsLost) {
    {
        DataTable t(passwordsTable());
        ASSERT_EQ(t.create(), 0);
    }
    const pid_t child = forkChild([](int fd) {
        DataTable t(passwordsTable());
        if (t.open() != 0 || t.stream() != 0 || addEntry(t, "child", "s", "n") != 0)
            return 1;
        signalParent(fd);
        usleep(1'500'000);
        return t.flush() == 0 ? 0 : 2;
    });
    DataTable t(passwordsTable());
    ASSERT_EQ(t.open(), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(addEntry(t, "parent", "s", "n"), 0) << t.errorText().toStdString();
    const qint64 waited = clock.elapsed();
    EXPECT_GE(waited, 1000);
    EXPECT_LT(waited, 10'000);
    EXPECT_EQ(childStatus(child), 0);
    EXPECT_EQ(t.records(), 2);
    t.record().clear();
    t.record().setText("P_:USER", u"child");
    t.record().setText("P_:SERVICE", u"s");
    t.record().setText("P_:NAME", u"n");
    EXPECT_EQ(t.fetch(1), 0);
    // Both numbered through the auto-increment without a clash.
    EXPECT_EQ(t.record().number("P_:ID"), 1);
}

TEST_F(TwoProcessTest, BatchCutShortByTheProcessEndingLeavesTheTableAsItWas) {
    {
        DataTable t(passwordsTable());
        createAndOpen(t);
        ASSERT_EQ(addEntry(t, "amy", "before", "n"), 0);
    }
    const pid_t child = forkChild([](int fd) {
        DataTable t(passwordsTable());
        if (t.open() != 0 || t.stream() != 0)
            return 1;
        for (int i = 0; i < 200; ++i)
            if (addEntry(t, "amy", QString::number(i), "n") != 0)
                return 2;
        signalParent(fd);
        _exit(0); // ends mid-batch: no flush, no close
    });
    EXPECT_EQ(childStatus(child), 0);
    DataTable t(passwordsTable());
    ASSERT_EQ(t.open(), 0);
    EXPECT_EQ(t.records(), 1);
    EXPECT_EQ(addEntry(t, "amy", "after", "n"), 0);
    EXPECT_EQ(t.record().number("P_:ID"), 2);
}

TEST_F(TwoProcessTest, ExclusiveOpenKeepsOthersOutUntilClosed) {
    {
        DataTable t(oldUsersTable());
        ASSERT_EQ(t.create(), 0);
    }
    DataTable mine(oldUsersTable());
    ASSERT_EQ(mine.open(access_mode::ExclusiveReadWrite), 0);
    const pid_t child = forkChild([](int fd) {
        signalParent(fd);
        DataTable other(oldUsersTable());
        other.send("Recover=1");
        return other.open();
    });
    EXPECT_EQ(childStatus(child), Locked);
    mine.close();
    DataTable other(oldUsersTable());
    EXPECT_EQ(other.open(), 0);
}
