// The cost a start pays for checking its table files' schemas in the checker
// process: all of a start's files in one checker run, as the programs do, and
// one file alone, each from a run that knows no verdict yet.
// Usage: measure_checks FOLDER ROUNDS   prints "all_ms file_ms" per round
#include "platform/recordstore/DataTable.h"
#include "platform/recordstore/OwnerKeys.h"
#include "platform/recordstore/SchemaGuard.h"
#include "platform/recordstore/SqlSchema.h"
#include "store/Layouts.h"
#include "store/OwnerKey.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

using namespace ql;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: measure_checks FOLDER ROUNDS\n");
        return 2;
    }
    setOwnerKey(buildOwnerKey());
    const SecretBytes owner = rawTableKey(OwnerKeyKind::Owner), words = rawTableKey(OwnerKeyKind::Words);
    const std::vector<SchemaCheckRequest> start = {
        {locateTable(passwordsTable().storedAs).filePath, &owner, 0},
        {locateTable(wordsTable().storedAs).filePath, &words, 0}};
    for (int round = 0; round < std::atoi(argv[2]); ++round) {
        useSchemaChecker({}); // forgets the verdicts
        QElapsedTimer timer;
        timer.start();
        guardFileSchemas(start);
        const double all = double(timer.nsecsElapsed()) / 1e6;
        useSchemaChecker({});
        QString why;
        timer.restart();
        const int code = guardFileSchema(start.front(), why);
        const double one = double(timer.nsecsElapsed()) / 1e6;
        if (code != 0) {
            std::fprintf(stderr, "measure_checks: %s\n", qPrintable(why));
            return 1;
        }
        std::printf("%.2f %.2f\n", all, one);
    }
    return 0;
}
