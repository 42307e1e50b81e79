#pragma once
#include "platform/core/FileDialogs.h"
#include "reports/ReportSession.h"

namespace ql {

class Record;

// Asks for a file name and writes the pages there as a PDF; a failure is
// shown. True when the file was written.
bool savePagesAsPdf(const std::vector<ReportPage>& pages, const QString& suggestedName, FileDialogs& files,
                    Prompter& prompter, PrintTarget& target);

// A report from the menu: the preview question where the report offers one,
// the user, the progress window, then the preview, the printer or the
// messages that say why nothing came out.
class ReportProcedure {
public:
    struct Hooks {
        std::function<bool(DataTable& passwords)> openPasswords; // false when it failed (already shown)
        std::function<int(Record& user)> selectUser;             // 1 chosen, 2 cancelled
        std::function<void(ReportSession& session)> showProgress; // returns once the session is over
    };

    ReportProcedure(ReportContext context, FileDialogs& files, Hooks hooks);

    void run(const ReportLayout& layout, const ReportStrings& strings);

private:
    bool askMode(const ReportLayout& layout, const ReportStrings& strings, ReportMode& mode);
    void finish(ReportSession& session, const ReportLayout& layout, const ReportStrings& strings);
    void finishPrinting(ReportSession& session, const ReportLayout& layout, const ReportStrings& strings);
    void printPages(const std::vector<ReportPage>& pages, int copies, const ReportLayout& layout);
    void offerPdf(const std::vector<ReportPage>& pages, const QString& reason, const ReportLayout& layout);
    void sayNothing(ReportMode mode, const ReportStrings& strings);

    ReportContext context_;
    FileDialogs& files_;
    Hooks hooks_;
};

} // namespace ql
