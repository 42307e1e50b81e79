#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <sys/types.h>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ql {

struct CachedQuery;
class SecretBytes;

// Result of open() for a file whose schema holds anything the store does not
// create itself (SQLITE_NOTADB with a code of our own in the extended bits).
inline constexpr int kForeignSchema = 26 | (1 << 8);

// One SQLite/SQLCipher connection with a cache of prepared statements.
// Results are SQLite result codes; message() is the engine's last message.
class StoreConnection {
public:
    StoreConnection() = default;
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    // Opens (and with create, makes) the file; keys it when rawKey is given
    // ("x'<64 hex>'"), sets the page size, lock wait and collation, then reads and
    // checks the whole schema before anything else: a wrong key or a non-data
    // file shows here, and so does a schema we did not write (kForeignSchema).
    // The file's schema is checked in a process of its own first (SchemaGuard.h),
    // and a file that is a symbolic link, or has one beside it, is refused.
    // With exclusive, the file stays locked against other connections until close.
    int open(const QString& path, const SecretBytes& rawKey, bool create, bool readOnly,
             int waitMs, bool exclusive = false);
    // Uses the engine connection of `host` (open) with a statement cache of its
    // own: both then read and write in the same transactions. The engine
    // connection closes when the last StoreConnection using it closes.
    void share(const StoreConnection& host);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* db() const { return db_; }

    // Runs exactly one statement; text holding a second statement is refused.
    int exec(const QString& sql);
    // A cached statement, reset and with its bindings cleared; null on error.
    sqlite3_stmt* statement(const QString& sql);
    sqlite3_stmt* statement(const CachedQuery& query); // cached by its slot
    void finalizeAll();
    void setWait(int waitMs);
    int changes() const;

    int lastCode() const { return lastCode_; }
    QString message() const { return message_; }
    int fail(int code);   // records code and the engine's message, returns code
    void setError(int code, const QString& message) { lastCode_ = code; message_ = message; }

private:
    // The file this connection opened after its check, vouched for on close.
    struct CheckedFile {
        QString path;
        dev_t device = 0;
        ino_t inode = 0;
    };
    void noteCheckedFile(const QString& path);

    CheckedFile checked_;
    sqlite3* db_ = nullptr;
    std::shared_ptr<sqlite3> handle_; // owns db_, shared by share()
    QHash<QString, sqlite3_stmt*> statements_;
    std::vector<sqlite3_stmt*> slots_;
    int lastCode_ = 0;
    QString message_;
};

} // namespace ql
