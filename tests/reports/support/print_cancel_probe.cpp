// Test tool: starts a print job of a few pages on the default printer through
// the program's own print target and cancels it before its end, as the
// report window's Cancel does.
// Usage: ql_print_cancel_probe
#include "framework/IniStore.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/Prompter.h"
#include "reports/views/QtPrintTarget.h"
#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ql::ScriptedFileDialogs files;
    ql::ScriptedPrompter prompter;
    ql::IniStore positions;
    ql::QtPrintTarget target(files, prompter, positions, nullptr);
    ql::ReportPage page;
    ql::PlacedBox box;
    box.x = box.y = 500;
    box.width = box.height = 4000;
    page.boxes.push_back(box);
    if (!target.beginJob(QStringLiteral("Cancelled report"))) {
        std::fprintf(stderr, "%s\n", qPrintable(target.errorText()));
        return 1;
    }
    for (int i = 0; i < 3; ++i)
        if (!target.printPage(page)) return 1;
    target.abortJob();
    return 0;
}
