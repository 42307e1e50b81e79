#include "framework/IniStore.h"
#include "framework/IniDocument.h"
#include <QFile>
#include "platform/core/PrivateFile.h"

namespace ql {
namespace {

const QString kMaximize = QStringLiteral("Maximize");
const QString kXPos = QStringLiteral("XPos");
const QString kYPos = QStringLiteral("YPos");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kYes = QStringLiteral("Yes");
const QString kNo = QStringLiteral("No");

std::optional<int> toInt(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

void IniStore::openStore(const QString& fileName) {
    fileName_ = fileName;
    fileName_.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString IniStore::readSetting(const QString& section, const QString& key) const {
    return lookup(section, key).value_or(QString());
}

QString IniStore::readSettingRaw(const QString& section, const QString& key) const {
    const auto value = lookup(section, key);
    return value ? value->left(kRawLimit) : kUnknown;
}

bool IniStore::writeSetting(const QString& section, const QString& key, const QString& value) {
    return writeSettings(section, {{key, value}});
}

std::optional<QString> IniStore::lookup(const QString& section, const QString& key) const {
    return load().value(section, key);
}

IniDocument IniStore::load() const {
    QFile file(fileName_);
    if (fileName_.isEmpty() || !file.open(QIODevice::ReadOnly)) return IniDocument::parse({});
    const QByteArray bytes = file.readAll();
    // Decoding drops a byte-order mark (a second one that an editor left, too,
    // so the first line stays a section); keep one so that a rewrite keeps it.
    const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return IniDocument::parse(QChar(0xFEFF) + QString::fromUtf8(bytes.mid(3)));
    return IniDocument::parse(QString::fromUtf8(bytes));
}

// All keys of one call land in the file together, in one replacement.
bool IniStore::writeSettings(const QString& section, const Settings& settings) {
    if (fileName_.isEmpty() || !IniDocument::validSection(section)) return false;
    for (const auto& [key, value] : settings)
        if (!IniDocument::validKey(key) || !IniDocument::validValue(value)) return false;
    IniDocument doc = load();
    for (const auto& [key, value] : settings) doc.setValue(section, key, value);
    return private_file::write(fileName_, doc.serialize().toUtf8()).isEmpty();
}

// A minimized window writes nothing; a maximized one writes only "Maximize", so
// the last normal position stays for when it is restored.
bool IniStore::saveWindow(const QString& section, const PositionedWindow& window) {
    if (window.isMinimized()) return true;
    if (window.isMaximized()) return writeSettings(section, {{kMaximize, kYes}});
    const QRect place = window.geometry();
    Settings settings{{kMaximize, kNo},
                      {kXPos, QString::number(place.x())},
                      {kYPos, QString::number(place.y())}};
    if (window.isResizable()) {
        settings.push_back({kHeight, QString::number(place.height())});
        settings.push_back({kWidth, QString::number(place.width())});
    }
    return writeSettings(section, settings);
}

// Without a valid "Maximize" (first run, file deleted) the window keeps its
// designed place. Values that are not numbers, and sizes below one pixel, are
// not applied.
void IniStore::restoreWindow(const QString& section, PositionedWindow& window) const {
    const IniDocument doc = load();
    const QString maximize = doc.value(section, kMaximize).value_or(QString());
    if (maximize != kYes && maximize != kNo) return;
    const bool maximized = maximize == kYes;
    if (!maximized && window.isMaximized()) window.showNormal();
    const auto x = toInt(doc.value(section, kXPos).value_or(QString()));
    const auto y = toInt(doc.value(section, kYPos).value_or(QString()));
    if (x && y) {
        window.move(*x, *y);
        const auto width = toInt(doc.value(section, kWidth).value_or(QString()));
        const auto height = toInt(doc.value(section, kHeight).value_or(QString()));
        if (window.isResizable() && width && height && *width > 0 && *height > 0)
            window.resize(*width, *height);
    }
    if (window.isMaximized() != maximized) window.setMaximized(maximized);
}

} // namespace ql
