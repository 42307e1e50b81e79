#pragma once
// Creates a table in the current folder and adds `count` records in one batch,
// each made by `make` from a cleared buffer and its number.
#include "platform/recordstore/DataTable.h"
#include "platform/recordstore/StoreError.h"
#include <functional>

namespace ql::bench {

inline bool fillTable(DataTable& table, int count, const std::function<void(Record&, int)>& make) {
    if (table.create() != store_error::NoError || table.open() != store_error::NoError) return false;
    table.stream();
    for (int i = 0; i < count; ++i) {
        table.record().clear();
        make(table.record(), i);
        if (table.add() != store_error::NoError) return false;
    }
    return table.flush() == store_error::NoError;
}

} // namespace ql::bench
