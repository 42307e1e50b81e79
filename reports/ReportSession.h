#pragma once
#include "platform/core/Clock.h"
#include "platform/core/Prompter.h"
#include "reports/PrintTarget.h"
#include "reports/ReportRun.h"
#include "reports/ReportStrings.h"
#include <functional>
#include <memory>

namespace ql {

enum class ReportMode { Preview, Print };

// Reports a numbered file error about a table: 35 for a read error, 36 for
// "View Open Error".
using FileErrorReport = std::function<void(int message, const DataTable& table)>;

// Everything a report run reaches outside itself.
struct ReportContext {
    Prompter& prompter;
    PrintTarget& target;
    TextMeasure& measure;
    const Clock& clock;
    FileErrorReport reportFileError;
};

// One run of a report over one user's entries, driven by the ticks of its
// progress window: the first tick opens the reading and the output, every
// tick prints up to 25 entries. Pages go to the queue, or in print mode
// straight to the printer when it needs no repeated pages.
class ReportSession {
public:
    enum class End {
        Running,
        Completed,  // every entry was read (or a read error ended the reading)
        NoEntry,    // the user has none, or the reading could not start
        Stopped,    // cancelled, or the output was refused: nothing more comes out
        Partial     // cancelled, and the pages so far are to be previewed
    };
    static constexpr int kEntriesPerTick = 25;

    ReportSession(const ReportLayout& layout, ReportMode mode, DataTable& passwords, const QString& userName,
                  const ReportStrings& strings, ReportContext context);
    ~ReportSession();

    QString windowTitle() const;
    QString userText() const { return strings_.userText; }
    // "  7% Completed"
    QString percentText() const;
    int percent() const { return run_.percent(); }

    // One tick; false once the run is over.
    bool tick();
    // "Cancel" or Escape: asks whether to stop; true when the run is over.
    bool cancelRequested();

    End end() const { return end_; }
    ReportMode mode() const { return mode_; }
    int printed() const { return run_.printed(); }
    int pagesBegun() const { return pages_.pagesBegun(); }
    // Ends the page being filled and hands over the queued pages.
    std::vector<ReportPage> takeQueue();
    // Pages went straight to a printer job that is still open.
    bool printingStraight() const { return straight_; }
    // The printer could not be used; the pages were queued for a PDF instead.
    const QString& printerTrouble() const { return printerTrouble_; }

private:
    bool open();
    bool openPrintOutput();
    void acceptPage(ReportPage&& page);

    const ReportLayout& layout_;
    ReportMode mode_;
    DataTable& passwords_;
    ReportStrings strings_;
    ReportContext context_;
    std::vector<ReportPage> queue_;
    PageBuilder pages_;
    ReportRun run_;
    End end_ = End::Running;
    bool opened_ = false;
    bool straight_ = false;
    QString printerTrouble_;
};

} // namespace ql
