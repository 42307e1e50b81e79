// Fills a data folder for the monitor program's benchmark: one user who needs
// no password and ENTRIES entries of his, the first WATCHED of them watched
// for windows that never exist.
// Usage: qlmon_prepare FOLDER ENTRIES WATCHED
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
        std::fprintf(stderr, "usage: qlmon_prepare FOLDER ENTRIES WATCHED\n");
        return 2;
    }
    const int entries = std::atoi(argv[2]), watched = std::atoi(argv[3]);
    setOwnerKey(buildOwnerKey());
    DataTable users(usersTable()), passwords(passwordsTable());
    const bool ok =
        bench::fillTable(users, 1, [](Record& r, int) {
            r.setText("U_:NAME", u"Default User");
            r.setText("U_:PASSWORD", u"Not Required");
        }) &&
        bench::fillTable(passwords, entries, [watched](Record& r, int i) {
            r.setText("P_:USER", u"Default User");
            r.setText("P_:SERVICE", QStringLiteral("service %1").arg(i, 5, 10, QLatin1Char('0')));
            r.setText("P_:NAME", QStringLiteral("login%1").arg(i));
            r.setText("P_:URL", QStringLiteral("https://example.test/%1").arg(i));
            r.setText("P_:PASTE", u"[Name][Tab][Password][Enter]");
            r.setNumber("P_:LEVEL", 10000);
            if (i < watched) {
                r.setNumber("P_:MONITOR", 1);
                r.setText("P_:WINDOWTITLETOLOCATE", QStringLiteral("No Such Window %1").arg(i));
            }
        });
    return ok ? 0 : 1;
}
