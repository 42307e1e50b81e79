#include "platform/recordstore/SchemaGuard.h"
#include "platform/recordstore/LastingVerdicts.h"
#include "platform/recordstore/SchemaCheckWire.h"
#include "platform/recordstore/StoreConnection.h"
#include "platform/secure/SecretBytes.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace ql {

namespace {

// The verdicts of this run and the checker in use, shared by all threads.
struct GuardState {
    std::mutex lock;
    std::map<FileIdentity, int> verdicts; // SQLITE_OK or kForeignSchema
    QString checker;                      // chosen by useSchemaChecker()
    int timeoutMs = 5000;
    QString lastingFile;                  // chosen by keepVerdictsIn()
    std::set<FileIdentity> lasting;       // sound in an earlier run, as read from it
};

GuardState& state() {
    static GuardState s;
    return s;
}

bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

QString runningProgram() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString lookUpChecker() {
    const QString program = runningProgram();
    const QDir dir = QFileInfo(program).dir();
    const QString beside = dir.filePath(QLatin1String(kSchemaCheckerName));
    if (isExecutableFile(beside))
        return beside;
    const QString installed = QDir::cleanPath(
        dir.filePath(QStringLiteral(QL_CHECKER_FROM_PROGRAMS "/") + QLatin1String(kSchemaCheckerName)));
    if (isExecutableFile(installed))
        return installed;
    // A program of the build folder (a test, a benchmark) uses the checker
    // built there; an installed program never looks into a build folder.
    const QString tree = QFileInfo(QStringLiteral(QL_BUILD_TREE)).canonicalFilePath();
    if (!tree.isEmpty() && program.startsWith(tree + u'/') &&
        isExecutableFile(QStringLiteral(QL_BUILD_TREE_CHECKER)))
        return QStringLiteral(QL_BUILD_TREE_CHECKER);
    return {};
}

bool sendAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool sendU32(int fd, uint32_t value) { return sendAll(fd, &value, sizeof value); }

bool sendRequests(int fd, const std::vector<const SchemaCheckRequest*>& files) {
    bool ok = sendU32(fd, uint32_t(files.size()));
    for (const SchemaCheckRequest* file : files) {
        const QByteArray path = QFile::encodeName(file->path);
        const size_t keySize = file->rawKey ? file->rawKey->size() : 0;
        ok = ok && sendU32(fd, uint32_t(path.size())) && sendAll(fd, path.constData(), path.size()) &&
             sendU32(fd, uint32_t(keySize)) &&
             (keySize == 0 || sendAll(fd, file->rawKey->constData(), keySize)) &&
             sendU32(fd, uint32_t(std::clamp(file->waitMs, 0, int(schema_wire::kMaxWaitMs))));
    }
    shutdown(fd, SHUT_WR);
    return ok;
}

// Starts the checker on one end of a socket pair with an empty environment
// and no way to write to the terminal; returns its pid, or -1.
pid_t spawnChecker(const QString& checker, int childEnd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childEnd, 0);
    posix_spawn_file_actions_adddup2(&actions, childEnd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const QByteArray file = QFile::encodeName(checker);
    char* argv[] = {const_cast<char*>(kSchemaCheckerName), nullptr};
    char* envp[] = {nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, file.constData(), &actions, &attributes, argv, envp) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

// Reads answer lines until the checker ends or the deadline passes.
std::vector<int> readAnswers(int fd, size_t expected, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<int> answers;
    QByteArray pending;
    while (answers.size() < expected) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0 && answers.size() < expected) {
            bool number = false;
            const int code = pending.left(end).toInt(&number);
            answers.push_back(number ? code : kForeignSchema);
            pending.remove(0, end + 1);
        }
    }
    return answers;
}

// One checker run over `files`: their codes, as many as the checker gave
// before it ended; `spawned` false when it could not start or ended by itself
// without answering (a checker that cannot run, not a file that crashed it).
std::vector<int> runChecker(const QString& checker, int timeoutMs,
                            const std::vector<const SchemaCheckRequest*>& files, bool& spawned) {
    int ends[2];
    spawned = false;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return {};
    const pid_t pid = spawnChecker(checker, ends[1]);
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        return {};
    }
    spawned = true;
    int waits = 0;
    for (const SchemaCheckRequest* file : files)
        waits += std::clamp(file->waitMs, 0, int(schema_wire::kMaxWaitMs));
    std::vector<int> answers;
    if (sendRequests(ends[0], files))
        answers = readAnswers(ends[0], files.size(), timeoutMs + waits);
    close(ends[0]);
    if (answers.size() < files.size())
        kill(pid, SIGKILL); // hung, or sent something else: it is not waited for
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (answers.size() < files.size() && WIFEXITED(status))
        spawned = false;
    return answers;
}

bool remembered(int code) { return code == SQLITE_OK || code == kForeignSchema; }

bool hasLogFiles(const QString& path) {
    return QFileInfo::exists(path + QLatin1String("-wal")) ||
           QFileInfo::exists(path + QLatin1String("-shm"));
}

// A checker that ended inside its check leaves the log files it had just
// made; empty, they hold nothing, and the refused file is left as it came.
void removeLogFilesLeftBy(const QString& path) {
    const QString wal = path + QLatin1String("-wal");
    if (QFileInfo(wal).size() > 0)
        return;
    QFile::remove(wal);
    QFile::remove(path + QLatin1String("-shm"));
}

} // namespace

QString schemaCheckerPath() {
    GuardState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    if (!s.checker.isEmpty())
        return s.checker;
    static const QString found = lookUpChecker();
    return found;
}

void useSchemaChecker(const QString& path, int timeoutMs) {
    GuardState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    s.checker = path;
    s.timeoutMs = timeoutMs;
    s.verdicts.clear();
}

void keepVerdictsIn(const QString& file) {
    std::vector<FileIdentity> kept = file.isEmpty() ? std::vector<FileIdentity>{} : lasting_verdicts::read(file);
    GuardState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    s.lastingFile = file;
    s.lasting = std::set<FileIdentity>(kept.begin(), kept.end());
}

QString userVerdictFile() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QLatin1String("/quillock/checked-tables");
}

namespace {

struct SoundFile {
    QString path;
    FileIdentity id;
};

// Writes sound files to the verdicts kept across runs, where they prove
// something beyond the run.
void keepAcrossRuns(const std::vector<SoundFile>& sound) {
    GuardState& s = state();
    QString file;
    {
        std::lock_guard<std::mutex> hold(s.lock);
        file = s.lastingFile;
    }
    if (file.isEmpty())
        return;
    std::vector<FileIdentity> kept;
    for (const SoundFile& f : sound)
        if (keepsChangeTimes(f.path))
            kept.push_back(f.id);
    lasting_verdicts::add(file, kept);
    std::lock_guard<std::mutex> hold(s.lock);
    s.lasting.insert(kept.begin(), kept.end());
}

std::optional<int> verdictFor(const FileIdentity& id, const QString& path) {
    GuardState& s = state();
    {
        std::lock_guard<std::mutex> hold(s.lock);
        const auto it = s.verdicts.find(id);
        if (it != s.verdicts.end())
            return it->second;
        if (!s.lasting.contains(id))
            return std::nullopt;
    }
    // A log left beside the file (a run that did not end) holds pages the
    // verdict never saw.
    if (QFileInfo(path + QLatin1String("-wal")).size() > 0 || !keepsChangeTimes(path))
        return std::nullopt;
    std::lock_guard<std::mutex> hold(s.lock);
    s.verdicts[id] = SQLITE_OK;
    return SQLITE_OK;
}

void remember(const FileIdentity& id, int code) {
    GuardState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    s.verdicts[id] = code;
}

int checkerTimeout() {
    GuardState& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.timeoutMs;
}

QString missingText(const QString& path, const QString& checker) {
    if (checker.isEmpty())
        return QStringLiteral("%1 cannot be checked: the file checker %2 is missing (it belongs "
                              "beside the programs or in libexec/quillock)")
            .arg(QDir::toNativeSeparators(path), QLatin1String(kSchemaCheckerName));
    return QStringLiteral("%1 cannot be checked: the file checker %2 does not run")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(checker));
}

} // namespace

void vouchForFile(const QString& path, dev_t device, ino_t inode) {
    const std::optional<FileIdentity> now = identityOf(path);
    if (!now || now->device != device || now->inode != inode)
        return;
    remember(*now, SQLITE_OK);
    keepAcrossRuns({{path, *now}});
}

void guardFileSchemas(const std::vector<SchemaCheckRequest>& requests) {
    std::vector<const SchemaCheckRequest*> pending;
    std::vector<FileIdentity> ids;
    std::vector<bool> hadLogFiles;
    std::set<FileIdentity> sent;
    for (const SchemaCheckRequest& request : requests) {
        const std::optional<FileIdentity> id = identityOf(request.path);
        if (!id || id->size == 0 || verdictFor(*id, request.path) || !sent.insert(*id).second)
            continue;
        pending.push_back(&request);
        ids.push_back(*id);
        hadLogFiles.push_back(hasLogFiles(request.path));
    }
    const QString checker = schemaCheckerPath();
    while (!pending.empty() && !checker.isEmpty()) {
        bool spawned = false;
        const std::vector<int> answers = runChecker(checker, checkerTimeout(), pending, spawned);
        if (!spawned)
            return;
        std::vector<SoundFile> sound;
        for (size_t i = 0; i < answers.size(); ++i) {
            if (remembered(answers[i]))
                remember(ids[i], answers[i]);
            if (answers[i] == SQLITE_OK)
                sound.push_back({pending[i]->path, ids[i]});
        }
        keepAcrossRuns(sound);
        if (answers.size() == pending.size())
            return;
        // The checker ended on this file: it is not a data file. The files
        // after it get a checker of their own.
        const size_t ended = answers.size();
        remember(ids[ended], kForeignSchema);
        if (!hadLogFiles[ended])
            removeLogFilesLeftBy(pending[ended]->path);
        hadLogFiles.erase(hadLogFiles.begin(), hadLogFiles.begin() + qsizetype(ended) + 1);
        pending.erase(pending.begin(), pending.begin() + qsizetype(ended) + 1);
        ids.erase(ids.begin(), ids.begin() + qsizetype(ended) + 1);
    }
}

int guardFileSchema(const SchemaCheckRequest& request, QString& message) {
    const std::optional<FileIdentity> id = identityOf(request.path);
    if (!id || id->size == 0)
        return SQLITE_OK; // nothing to parse yet
    if (const std::optional<int> known = verdictFor(*id, request.path))
        return *known;
    const QString checker = schemaCheckerPath();
    const bool hadLogs = hasLogFiles(request.path);
    bool spawned = false;
    const std::vector<int> answers =
        checker.isEmpty() ? std::vector<int>{}
                          : runChecker(checker, checkerTimeout(), {&request}, spawned);
    if (!spawned) {
        message = missingText(request.path, checker);
        return kCheckerMissing;
    }
    if (answers.empty() && !hadLogs)
        removeLogFilesLeftBy(request.path);
    const int code = answers.empty() ? kForeignSchema : answers.front();
    if (remembered(code))
        remember(*id, code);
    else
        message = QString::fromUtf8(sqlite3_errstr(code));
    if (code == SQLITE_OK)
        keepAcrossRuns({{request.path, *id}});
    return code;
}

} // namespace ql
