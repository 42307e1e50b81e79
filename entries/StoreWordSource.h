#pragma once
#include "entries/WordSource.h"
#include "platform/recordstore/DataTable.h"

namespace ql {

// Words from the Words table. The table is opened read-only when first needed;
// a table that is missing or cannot be opened counts as an empty list.
class StoreWordSource : public WordSource {
public:
    StoreWordSource();
    qint64 count() override;
    bool read(qint64 number, QString& word) override;

private:
    bool ensureOpen();

    DataTable table_;
    int wordField_;
};

} // namespace ql
