#include "app/ProgramStart.h"
#include "monitorapp/views/MonitorProgram.h"
#include "signin/views/UnlockWindow.h"
#include <QApplication>

namespace {

const char* const kUsage =
    "Usage: qlmon [Data=FOLDER]\n"
    "\n"
    "Quillock Monitor, the tray companion of quillock: lists one user's password\n"
    "entries, sends them to other programs and watches for their windows.\n"
    "\n"
    "  Data=FOLDER   the data folder (default: the current folder); quillock must\n"
    "                have run there once\n"
    "  --help        show this text and exit\n"
    "  --version     show the version and exit\n";

const ql::ProgramIdentity kIdentity{"qlmon", "Quillock Monitor", kUsage};

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> code = ql::startProgram(argc, argv, kIdentity)) return *code;
    QApplication app(argc, argv);
    ql::nameProgram(kIdentity);
    ql::installUnlockWindow(); // a protected data folder asks for its passphrase first
    return ql::runMonitorProgram(QApplication::arguments());
}
