#include "keys/KeyCodes.h"
#include "keys/AsciiCase.h"
#include <array>
#include <utility>

namespace ql {
namespace {

struct NamedKey { const char* name; int code; };

constexpr std::array kNamedKeys{
    NamedKey{"BS", 8},       NamedKey{"TAB", 9},      NamedKey{"ENTER", 13},
    NamedKey{"PAUSE", 19},   NamedKey{"CAPSLOCK", 20}, NamedKey{"CAPS", 20},
    NamedKey{"ESC", 27},     NamedKey{"SPACE", 32},   NamedKey{"PGUP", 33},
    NamedKey{"PGDN", 34},    NamedKey{"END", 35},     NamedKey{"HOME", 36},
    NamedKey{"LEFT", 37},    NamedKey{"UP", 38},      NamedKey{"RIGHT", 39},
    NamedKey{"DOWN", 40},    NamedKey{"PRINT", 44},   NamedKey{"INSERT", 45},
    NamedKey{"DELETE", 46},  NamedKey{"AST", 106},    NamedKey{"PLUS", 107},
    NamedKey{"MINUS", 109},  NamedKey{"DECIMAL", 110}, NamedKey{"SLASH", 111},
    NamedKey{"MOUSE", 1},    NamedKey{"MOUSELEFT", 1}, NamedKey{"MOUSERIGHT", 2},
    NamedKey{"MOUSECENTER", 3}, NamedKey{"MOUSELEFT2", 5}, NamedKey{"MOUSERIGHT2", 6},
    NamedKey{"MOUSECENTER2", 7},
};

// "PAD0".."PAD9" and "F1".."F12".
int numberedKey(const QString& name) {
    bool ok = false;
    if (name.startsWith(u"PAD") && name.size() == 4) {
        int digit = name.mid(3).toInt(&ok);
        if (ok && name[3].isDigit()) return 96 + digit;
    }
    if (name.startsWith(u'F') && name.size() >= 2 && name.size() <= 3 && name[1].isDigit()) {
        int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 12 && !name.startsWith(u"F0")) return 111 + n;
    }
    return 0;
}

} // namespace

int LookupKeyName(const QString& name) {
    QString key = name;
    while (key.endsWith(u' ')) key.chop(1);
    key = asciiUpper(key);
    if (key.size() == 1) {
        char16_t c = key[0].unicode();
        if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')) return int(c);
        return 0;
    }
    for (const NamedKey& k : kNamedKeys)
        if (key == QLatin1String(k.name)) return k.code;
    return numberedKey(key);
}

} // namespace ql
