// libFuzzer target of the settings file text. The input is the file's text
// followed, after NUL bytes, by a section, a key and a value to write and by
// a second section and key whose value the write must leave alone. Whatever
// the text, a stored value must read back as written, also after the text is
// written out and read again, and no other key may change.
#include "framework/IniDocument.h"
#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>

using namespace ql;

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

void check(bool holds) {
    if (!holds) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    IniDocument doc = IniDocument::parse(QString::fromUtf8(parts.value(0)));
    if (parts.size() < 6) {
        IniDocument::parse(doc.serialize());
        return 0;
    }
    const QString section = QString::fromUtf8(parts[1]), key = QString::fromUtf8(parts[2]);
    const QString value = QString::fromUtf8(parts[3]);
    const QString otherSection = QString::fromUtf8(parts[4]), otherKey = QString::fromUtf8(parts[5]);
    if (!IniDocument::validSection(section) || !IniDocument::validKey(key) || !IniDocument::validValue(value))
        return 0;
    const std::optional<QString> otherBefore = doc.value(otherSection, otherKey);
    doc.setValue(section, key, value);
    check(doc.value(section, key) == value);
    check(IniDocument::parse(doc.serialize()).value(section, key) == value);
    if (!sameName(section, otherSection) || !sameName(key, otherKey))
        check(doc.value(otherSection, otherKey) == otherBefore);
    return 0;
}
