#include "exchange/ExchangeFields.h"
#include "framework/Pictures.h"

namespace ql {

// Dates leave the ISO way (2024-10-03), so that a file reads the same on a
// desktop whose dates read day first as on one where they read month first;
// the time of the last change leaves with hundredths, so that an exported
// entry comes back with exactly the date and time it had.
const std::vector<ExchangeField>& exchangeFields() {
    static const std::vector<ExchangeField> fields{
        {QStringLiteral("P_:Notes"), QStringLiteral("@s255")},
        {QStringLiteral("P_:MoreNotes"), QStringLiteral("@s255")},
        {QStringLiteral("P_:Service"), QStringLiteral("@s128")},
        {QStringLiteral("P_:URL"), QStringLiteral("@s255")},
        {QStringLiteral("P_:Name"), QStringLiteral("@s128")},
        {QStringLiteral("P_:Password"), QStringLiteral("@s128")},
        {QStringLiteral("P_:ExpiryDate"), QStringLiteral("@d10")},
        {QStringLiteral("P_:ExpiryInterval"), QStringLiteral("@n_3b")},
        {QStringLiteral("P_:LastChangeDate"), QStringLiteral("@d10")},
        {QStringLiteral("P_:LastChangeTime"), QStringLiteral("@t9")},
        {QStringLiteral("P_:Level"), QStringLiteral("@n6b")},
        {QStringLiteral("P_:Monitor"), QStringLiteral("@n3")},
        {QStringLiteral("P_:SecondsToWait"), QStringLiteral("@p<<<# secondspb")},
        {QStringLiteral("P_:WindowTitleToLocate"), QStringLiteral("@s100")},
        {QStringLiteral("P_:WindowContents"), QStringLiteral("@s40")},
        {QStringLiteral("P_:DoNotRepeatSeconds"), QStringLiteral("@p<<<# secondspb")},
        {QStringLiteral("P_:Paste"), QStringLiteral("@s255")},
        {QStringLiteral("P_:DirectSend"), QStringLiteral("@n3")},
        {QStringLiteral("P_:Filename"), QStringLiteral("@s255")},
        {QStringLiteral("P_:EncryptedFilename"), QStringLiteral("@s255")},
    };
    return fields;
}

int exchangeFieldIndex(QStringView name) {
    const std::vector<ExchangeField>& fields = exchangeFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
}

namespace {
QString typeText(const QString& picture, const QString& text) {
    switch (Picture(picture).kind()) {
    case PictureKind::Text: return text;
    case PictureKind::Number: return QStringLiteral("Numeric");
    default: return picture;
    }
}
} // namespace

QString importTypeText(const QString& picture) { return typeText(picture, QStringLiteral("Alpha-num")); }
QString exportTypeText(const QString& picture) { return typeText(picture, QStringLiteral("Alpha-numeric")); }

bool validPicture(QStringView picture) { return picture.startsWith(u'@'); }

} // namespace ql
