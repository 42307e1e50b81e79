#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace ql {

// An INI text held as its lines, so that changing one key keeps every other
// line (other sections, keys, comments, blank lines) exactly as it was.
// Section and key names match without regard to case. Lines starting with ';'
// or '#' are comments. A value written with surrounding blanks or quotes is
// quoted so that it reads back unchanged.
class IniDocument {
public:
    static IniDocument parse(const QString& text);
    QString serialize() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    // Whether a name or value can be stored so that it reads back the same.
    static bool validSection(const QString& section);
    static bool validKey(const QString& key);
    static bool validValue(const QString& value);

private:
    qsizetype findSection(const QString& section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString& key) const;

    QStringList lines_;
    QString lineEnd_ = QStringLiteral("\n");
    bool bom_ = false;
};

} // namespace ql
