#include "entries/StoreWordSource.h"
#include "store/Layouts.h"

namespace ql {

StoreWordSource::StoreWordSource()
    : table_(wordsTable()), wordField_(wordsTable().fieldIndex(QLatin1String("W_:WORD"))) {}

bool StoreWordSource::ensureOpen() {
    if (table_.isOpen()) return true;
    return table_.open(access_mode::SharedReadOnly) == store_error::NoError;
}

qint64 StoreWordSource::count() {
    if (!ensureOpen()) return 0;
    const qint64 n = table_.records();
    return n > 0 ? n : 0;
}

bool StoreWordSource::read(qint64 number, QString& word) {
    if (!ensureOpen() || table_.getByRecordNumber(number) != store_error::NoError) return false;
    word = table_.record().text(wordField_);
    return true;
}

} // namespace ql
