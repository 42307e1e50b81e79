// Test tool: stores one settings value in a data folder's Configuration table,
// as the programs' own settings code does.
// Usage: ql_put_setting FOLDER KEY VALUE
#include "platform/core/Prompter.h"
#include "platform/recordstore/DataTable.h"
#include "store/ConfigurationSettings.h"
#include "store/OwnerKey.h"
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: ql_put_setting FOLDER KEY VALUE\n");
        return 2;
    }
    ql::setOwnerKey(ql::buildOwnerKey());
    ql::ScriptedPrompter prompter;
    ql::ConfigurationSettings settings(prompter);
    settings.putSetting(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[2]));
    return prompter.asked.empty() ? 0 : 1;
}
