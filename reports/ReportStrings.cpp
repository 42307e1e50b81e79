#include "reports/ReportStrings.h"
#include "framework/IniStore.h"

namespace ql {

namespace {

const QString kSection = QStringLiteral("DISPLAY STRINGS 2.0");

constexpr int kShort = 64;
constexpr int kPartialQuestion = 128;
constexpr int kWarning = 255;

struct Key {
    const char* name;
    QString ReportStrings::*text;
    int length = kShort;
};

const Key kKeys[] = {
    {"ProgWinTitlePrvw", &ReportStrings::progressTitlePreview},
    {"ProgWinTitlePrnt", &ReportStrings::progressTitlePrint},
    {"ProgWinPctText", &ReportStrings::percentText},
    {"ProgWinRecText", &ReportStrings::recordsText},
    {"ProgWinUsrText", &ReportStrings::userText},
    {"PrinterDlgTitle", &ReportStrings::printerDialogTitle},
    {"AskPrvwDialogTitle", &ReportStrings::askPreviewTitle},
    {"AskPrvwDialogText", &ReportStrings::askPreviewText},
    {"CancelAreYouSureTitle", &ReportStrings::cancelSureTitle},
    {"CancelAreYouSureText", &ReportStrings::cancelSureText},
    {"CancelPrvwPartialTitle", &ReportStrings::cancelPartialTitle},
    {"CancelPrvwPartialText", &ReportStrings::cancelPartialText, kPartialQuestion},
    {"NoDfltPrtrTitle", &ReportStrings::noPrinterTitle},
    {"NoDfltPrtrText", &ReportStrings::noPrinterText, kWarning},
    {"NothingToPrvwTitle", &ReportStrings::nothingToPreviewTitle},
    {"NothingToPrvwText", &ReportStrings::nothingToPreviewText},
    {"NothingToPrntTitle", &ReportStrings::nothingToPrintTitle},
    {"NothingToPrntText", &ReportStrings::nothingToPrintText},
    {"AsciiOutTitle", &ReportStrings::asciiOutTitle},
    {"AsciiOutMasks", &ReportStrings::asciiOutMasks},
    {"DynLblErrTitle", &ReportStrings::paperErrorTitle},
    {"DynLblErrText1", &ReportStrings::paperErrorText1},
    {"DynLblErrText2", &ReportStrings::paperErrorText2},
};

} // namespace

ReportStrings loadReportStrings(const QString& fileName, const QString& userText,
                                const QString& askPreviewTitle, const QString& askPreviewText) {
    ReportStrings strings;
    strings.userText = userText;
    strings.askPreviewTitle = askPreviewTitle;
    strings.askPreviewText = askPreviewText;
    IniStore ini;
    ini.openStore(fileName.trimmed().isEmpty() ? QStringLiteral("WIN.INI") : fileName.trimmed());
    for (const Key& key : kKeys) {
        const QString value = ini.readSettingRaw(kSection, QLatin1String(key.name));
        if (value != IniStore::kUnknown) strings.*key.text = value.left(key.length);
    }
    return strings;
}

QString messageText(const QString& text) {
    QString shown = text;
    shown.replace(u'|', u'\n');
    return shown;
}

} // namespace ql
