// The schema checker: reads the schema of the table files the program names
// on standard input and answers, file by file, whether they hold only what the
// store creates itself (see SchemaGuard.h and SchemaCheckWire.h). A crafted
// schema may crash it: that is what it is for, the program then refuses the
// file. It gets the table keys, so it is hardened as the programs are.
#include "platform/recordstore/SchemaCheck.h"
#include "platform/recordstore/SchemaCheckWire.h"
#include "platform/recordstore/StoreConnection.h"
#include "platform/recordstore/TextCollation.h"
#include "platform/secure/ProcessHardening.h"
#include "platform/secure/SecretBytes.h"
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace ql;

struct FileToCheck {
    std::string path;
    SecretBytes key;
    int waitMs = 0;
};

bool readAll(void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(0, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool readU32(uint32_t& value, uint32_t limit) { return readAll(&value, sizeof value) && value <= limit; }

bool readRequest(std::vector<FileToCheck>& files) {
    uint32_t count = 0;
    if (!readU32(count, schema_wire::kMaxFiles))
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        FileToCheck file;
        uint32_t pathSize = 0, keySize = 0, wait = 0;
        if (!readU32(pathSize, schema_wire::kMaxPathBytes))
            return false;
        file.path.resize(pathSize);
        if (!readAll(file.path.data(), pathSize) || !readU32(keySize, schema_wire::kMaxKeyBytes))
            return false;
        file.key = SecretBytes(keySize);
        if ((keySize > 0 && !readAll(file.key.data(), keySize)) ||
            !readU32(wait, schema_wire::kMaxWaitMs))
            return false;
        file.waitMs = int(wait);
        files.push_back(std::move(file));
    }
    return true;
}

// Opens the file as the store does (key, page size, collation) and checks its
// whole schema. It only reads. Without a log file beside it, it opens for
// writing as the store does, so that its close removes the log files it
// made; with one, for reading, so that its close writes nothing of the log
// into the file.
int check(const FileToCheck& file) {
    const bool logged = access((file.path + "-wal").c_str(), F_OK) == 0;
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.path.c_str(), &db,
                             (logged ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                                 SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, file.waitMs);
        if (!file.key.isEmpty())
            rc = sqlite3_key(db, file.key.constData(), int(file.key.size()));
        if (rc == SQLITE_OK && !file.key.isEmpty())
            rc = sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = registerTextCollation(db);
        if (rc == SQLITE_OK)
            rc = checkFileSchema(db);
    }
    sqlite3_close(db);
    return rc;
}

void harden() {
    hardenProcess();
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0); // never outlives the program
    const rlimit cpu{30, 30};
    setrlimit(RLIMIT_CPU, &cpu);
    syscall(SYS_close_range, 3u, ~0u, 0u); // nothing of the program's stays open
}

} // namespace

int main() {
    harden();
    std::vector<FileToCheck> files;
    if (!readRequest(files))
        return 2;
    for (const FileToCheck& file : files) {
        const std::string answer = std::to_string(check(file)) + '\n';
        if (write(1, answer.data(), answer.size()) != ssize_t(answer.size()))
            return 2;
    }
    return 0;
}
