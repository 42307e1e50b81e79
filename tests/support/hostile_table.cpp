// Test tool: makes a data folder whose QL_DATA table file holds one user and,
// keyed with the program's built-in key, a schema text that crashes the
// database engine when it parses it (a table made "AS SELECT").
// Usage: ql_hostile_table FOLDER
#include "platform/recordstore/DataTable.h"
#include "platform/recordstore/OwnerKeys.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <sqlite3.h>

using namespace ql;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: ql_hostile_table FOLDER\n");
        return 2;
    }
    setOwnerKey(buildOwnerKey());
    {
        DataTable users(usersTable());
        if (users.create() != 0 || users.open() != 0) return 1;
        users.record().setText("U_:NAME", u"amy");
        if (users.add() != 0) return 1;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open("QL_DATA.qld", &db) != SQLITE_OK) return 1;
    const SecretBytes key = rawTableKey(OwnerKeyKind::Owner);
    sqlite3_key(db, key.constData(), int(key.size()));
    const int rc = sqlite3_exec(db,
                                "PRAGMA cipher_page_size = 4096; PRAGMA writable_schema = ON; "
                                "INSERT INTO sqlite_master VALUES "
                                "('table', 't1', 't1', 2, 'CREATE TABLE t1 AS SELECT 1')",
                                nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? 0 : 1;
}
