#include "store/OwnerKey.h"

namespace ql {

namespace {
// Never written to any file; the key is built from it at run time.
constexpr char kStoredConstant[] =
    "5970120256325988597073375740232697227158725071075395789610706811";
static_assert(sizeof(kStoredConstant) == 65, "the owner key constant has 64 digits");
} // namespace

QString addThreeToDigits(const QString& digits) {
    QString key = digits;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const int sum = key[i].digitValue() + 3;
        key[i] = QString::number(sum).at(0);
    }
    return key;
}

QString buildOwnerKey() { return addThreeToDigits(QString::fromLatin1(kStoredConstant)); }

} // namespace ql
