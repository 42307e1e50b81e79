// Fills a data folder for the password list benchmark: the user "Big Owner"
// with 100,000 entries and "Small Owner" with 1,000, both without a password,
// in the encrypted tables the program uses.
// Usage: populate_list FOLDER [BIG [SMALL]]
#include "bench/support/FillTable.h"
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <cstdio>
#include <functional>

using namespace ql;

namespace {

constexpr int32_t kToday = 82000;

// Made-up words spread evenly over the alphabet, so that any typed start of
// three letters lands somewhere inside a long list.
QString word(QRandomGenerator& random, int length) {
    QString text;
    for (int i = 0; i < length; ++i) text += QChar(u'a' + random.bounded(26));
    return text;
}

void makeEntry(Record& r, const QString& user, int i, QRandomGenerator& random) {
    r.setText("P_:USER", user);
    r.setText("P_:SERVICE", word(random, 8) + QStringLiteral(" %1").arg(i));
    r.setText("P_:NAME", word(random, 6) + QStringLiteral("%1").arg(i));
    r.setText("P_:URL", QStringLiteral("https://%1.example.test/login").arg(word(random, 7)));
    r.setText("P_:PASSWORD", word(random, 12));
    r.setText("P_:CONFIRMPASSWORD", r.text("P_:PASSWORD"));
    r.setText("P_:NOTES", QStringLiteral("Account %1 ").arg(i) + word(random, 40));
    r.setText("P_:PASTE", QStringLiteral("[Name][Tab][Password][Enter]"));
    r.setNumber("P_:LASTCHANGEDATE", kToday - random.bounded(2000));
    r.setNumber("P_:LASTCHANGETIME", 1 + random.bounded(8'640'000));
    r.setNumber("P_:EXPIRYDATE", random.bounded(4) == 0 ? kToday - 500 + random.bounded(1000) : 0);
    r.setNumber("P_:SECONDSTOWAIT", 2);
    r.setNumber("P_:LEVEL", 10000);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1])) ||
        !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: populate_list FOLDER [BIG [SMALL]]\n");
        return 2;
    }
    const int big = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int small = argc > 3 ? std::atoi(argv[3]) : 1000;
    setOwnerKey(buildOwnerKey());
    const QStringList users{QStringLiteral("Big Owner"), QStringLiteral("Small Owner")};
    QRandomGenerator random(14);
    DataTable userTable(usersTable()), passwordTable(passwordsTable());
    const bool ok =
        bench::fillTable(userTable, 2, [&users](Record& r, int i) {
            r.setText("U_:NAME", users[i]);
            r.setText("U_:PASSWORD", QStringLiteral("Not Required"));
        }) &&
        bench::fillTable(passwordTable, big + small, [&](Record& r, int i) {
            makeEntry(r, users[i < big ? 0 : 1], i, random);
        });
    return ok ? 0 : 1;
}
