#include "framework/IniDocument.h"

namespace ql {
namespace {

bool isComment(const QString& trimmed) {
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// The name of a "[Section]" line, or nothing for any other line.
std::optional<QString> headerName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('['))) return std::nullopt;
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0) return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

// The key and raw value of a "key=value" line, or nothing.
std::optional<std::pair<QString, QString>> keyLine(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || isComment(trimmed) || headerName(line)) return std::nullopt;
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0) return std::nullopt;
    return std::make_pair(trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed());
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& raw) {
    if (raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"')))
        return raw.mid(1, raw.size() - 2);
    return raw;
}

QString quotedIfNeeded(const QString& value) {
    if (value.isEmpty()) return value;
    const bool blankEdge = value.front().isSpace() || value.back().isSpace();
    const bool quoteEdges = value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
                            value.endsWith(QLatin1Char('"'));
    if (blankEdge || quoteEdges) return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

IniDocument IniDocument::parse(const QString& text) {
    IniDocument doc;
    if (text.contains(QStringLiteral("\r\n"))) doc.lineEnd_ = QStringLiteral("\r\n");
    QString body = text;
    if (body.startsWith(QChar(0xFEFF))) { // byte-order mark from some editors
        doc.bom_ = true;
        body.remove(0, 1);
    }
    if (body.isEmpty()) return doc;
    doc.lines_ = body.split(QLatin1Char('\n'));
    if (doc.lines_.back().isEmpty()) doc.lines_.removeLast(); // the final line end
    for (QString& line : doc.lines_)
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return doc;
}

QString IniDocument::serialize() const {
    QString out = bom_ ? QString(QChar(0xFEFF)) : QString();
    for (const QString& line : lines_) out += line + lineEnd_;
    return out;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0) return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0) return std::nullopt;
    return unquoted(keyLine(lines_[line])->second);
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QString line = key + QLatin1Char('=') + quotedIfNeeded(value);
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty() && !lines_.back().trimmed().isEmpty()) lines_.append(QString());
        lines_.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines_.append(line);
        return;
    }
    const qsizetype existing = findKey(header, key);
    if (existing >= 0) {
        lines_[existing] = line;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    qsizetype at = sectionEnd(header);
    while (at - 1 > header && lines_[at - 1].trimmed().isEmpty()) --at;
    lines_.insert(at, line);
}

bool IniDocument::validSection(const QString& section) {
    return !section.trimmed().isEmpty() && section == section.trimmed() &&
           !section.contains(QLatin1Char(']')) && !hasLineBreak(section);
}

bool IniDocument::validKey(const QString& key) {
    const QString trimmed = key.trimmed();
    return !trimmed.isEmpty() && key == trimmed && !key.contains(QLatin1Char('=')) &&
           !isComment(trimmed) && !trimmed.startsWith(QLatin1Char('[')) && !hasLineBreak(key);
}

bool IniDocument::validValue(const QString& value) { return !hasLineBreak(value); }

qsizetype IniDocument::findSection(const QString& section) const {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const auto name = headerName(lines_[i]);
        if (name && sameName(*name, section)) return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const {
    for (qsizetype i = header + 1; i < lines_.size(); ++i)
        if (headerName(lines_[i])) return i;
    return lines_.size();
}

qsizetype IniDocument::findKey(qsizetype header, const QString& key) const {
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto entry = keyLine(lines_[i]);
        if (entry && sameName(entry->first, key)) return i;
    }
    return -1;
}

} // namespace ql
