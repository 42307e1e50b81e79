// Fills a data folder with users and entries for the start-up benchmark.
// Usage: populate_entries FOLDER ENTRIES USERS
#include "bench/support/FillTable.h"
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace ql;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4 || !QDir().mkpath(QString::fromLocal8Bit(argv[1])) ||
        !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: populate_entries FOLDER ENTRIES USERS\n");
        return 2;
    }
    const int entries = std::atoi(argv[2]), users = std::max(1, std::atoi(argv[3]));
    setOwnerKey(buildOwnerKey());
    DataTable userTable(usersTable()), passwordTable(passwordsTable());
    const bool ok =
        bench::fillTable(userTable, users, [](Record& r, int i) {
            r.setText("U_:NAME", QStringLiteral("user%1").arg(i));
            r.setText("U_:PASSWORD", QStringLiteral("Not Required"));
        }) &&
        bench::fillTable(passwordTable, entries, [users](Record& r, int i) {
            r.setText("P_:USER", QStringLiteral("user%1").arg(i % users));
            r.setText("P_:SERVICE", QStringLiteral("service %1").arg(i));
            r.setText("P_:NAME", QStringLiteral("login%1").arg(i));
            r.setText("P_:URL", QStringLiteral("https://example.test/%1").arg(i));
            r.setNumber("P_:LEVEL", 10000);
        });
    return ok ? 0 : 1;
}
