#pragma once
#include <QString>

namespace ql {

// The texts of the report windows and messages. A "|" in a text is a line
// break in the message box.
struct ReportStrings {
    QString progressTitlePreview = QStringLiteral("Generating Report");
    QString progressTitlePrint = QStringLiteral("Printing Report");
    QString percentText = QStringLiteral("% Completed");
    QString recordsText = QStringLiteral("Records Read");
    QString userText;
    QString printerDialogTitle = QStringLiteral("Report Destination");
    QString askPreviewTitle = QStringLiteral("Preview");
    QString askPreviewText = QStringLiteral("Do you wish to PREVIEW this Report?");
    QString cancelSureTitle = QStringLiteral("Question");
    QString cancelSureText = QStringLiteral("Are you sure you want to CANCEL this Report?");
    QString cancelPartialTitle = QStringLiteral("Question");
    QString cancelPartialText = QStringLiteral("Report Cancellation Requested!||Preview Report generated so far?");
    QString noPrinterTitle = QStringLiteral("WARNING!");
    QString noPrinterText = QStringLiteral(
        "Warning:  No DEFAULT Printer Driver Found!||Printing may not occur correctly (or at all)|without a "
        "Default printer assigned.||Use CONTROL PANEL (PRINTERS) to set a|printer as your Default.||Continue "
        "with report anyway?");
    QString nothingToPreviewTitle = QStringLiteral("NOTE...");
    QString nothingToPreviewText = QStringLiteral("Nothing to Preview.");
    QString nothingToPrintTitle = QStringLiteral("NOTE...");
    QString nothingToPrintText = QStringLiteral("Nothing to Print.");
    QString asciiOutTitle = QStringLiteral("Save to what Filename?");
    QString asciiOutMasks = QStringLiteral("Text|*.TXT|All Files|*.*");
    QString paperErrorTitle = QStringLiteral("Problem!");
    QString paperErrorText1 = QStringLiteral("Sorry!||");
    QString paperErrorText2 = QStringLiteral("||Does not support paper type:");
};

// The settings file of the report texts, in the data folder.
inline const QString kReportStringsFile = QStringLiteral("CPCSRPTS.INI");

// Reads the texts from the section "DISPLAY STRINGS 2.0" of `fileName`
// ("WIN.INI" when blank); a key that is absent keeps its default. The
// report passes its own user text, preview title and preview question as
// the defaults of those keys. Each text is cut to the length it is held in.
ReportStrings loadReportStrings(const QString& fileName, const QString& userText,
                                const QString& askPreviewTitle, const QString& askPreviewText);

// A text as a message box shows it: each "|" a line break.
QString messageText(const QString& text);

} // namespace ql
