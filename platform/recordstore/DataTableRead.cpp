// Reading: fetch by key, positioned walks in key order and stored order.
#include "platform/recordstore/DataTable.h"
#include "platform/core/Utf8Text.h"
#include "platform/recordstore/RowIo.h"
#include "platform/recordstore/SqlSchema.h"
#include "platform/recordstore/StoreConnection.h"
#include <sqlite3.h>

namespace ql {

using namespace store_error;

void bindField(sqlite3_stmt* stmt, int param, const Record& record, int field) {
    const FieldType type = record.def().fields[field].type;
    if (isNumberType(type)) {
        sqlite3_bind_int64(stmt, param, record.number(field));
    } else if (type == FieldType::Blob) {
        const QByteArray bytes = record.blob(field);
        if (bytes.isEmpty())
            sqlite3_bind_zeroblob(stmt, param, 0);
        else
            sqlite3_bind_blob(stmt, param, bytes.constData(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
    } else {
        // UTF-8 like the file: keys then compare without converting per comparison.
        const QByteArray text = record.text(field).toUtf8();
        sqlite3_bind_text(stmt, param, text.constData(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
}

void bindRecord(sqlite3_stmt* stmt, const Record& record) {
    for (int i = 0; i < record.fieldCount(); ++i)
        bindField(stmt, i + 1, record, i);
}

qint64 loadRow(sqlite3_stmt* stmt, Record& record) {
    for (int i = 0; i < record.fieldCount(); ++i) {
        const int col = i + 1;
        const FieldType type = record.def().fields[i].type;
        if (isNumberType(type)) {
            record.setNumber(i, sqlite3_column_int64(stmt, col));
        } else if (type == FieldType::Blob) {
            const void* data = sqlite3_column_blob(stmt, col);
            record.setBlob(i, QByteArray(static_cast<const char*>(data),
                                         sqlite3_column_bytes(stmt, col)));
        } else {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
            const int bytes = sqlite3_column_bytes(stmt, col);
            if (bytes == 0)
                record.clearField(i);
            else
                record.setText(i, utf8Text(text, bytes));
        }
    }
    return sqlite3_column_int64(stmt, 0);
}

// Steps a prepared read; on a row loads it, makes it current and moves the
// position there (in key order for key >= 0, stored order for -1).
int DataTable::readRow(void* statement, int key, int notFound) {
    auto* st = static_cast<sqlite3_stmt*>(statement);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) {
        sqlite3_reset(st);
        return fail(notFound);
    }
    if (rc != SQLITE_ROW) {
        conn_->fail(rc);
        sqlite3_reset(st);
        return failDriver(*conn_);
    }
    currentRow_ = loadRow(st, record_);
    Cursor& c = *cursor_;
    c.mode = Cursor::Mode::At;
    c.rowid = currentRow_;
    c.key = key;
    if (key >= 0) {
        // Key values straight from the row, already UTF-8 as they are bound.
        const std::vector<int>& comps = def_.keys[key].components;
        c.texts.resize(comps.size());
        c.numbers.resize(comps.size());
        for (size_t i = 0; i < comps.size(); ++i) {
            const int col = comps[i] + 1;
            if (isNumberType(def_.fields[comps[i]].type))
                c.numbers[i] = sqlite3_column_int64(st, col);
            else
                c.texts[i] = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                        sqlite3_column_bytes(st, col));
        }
    }
    sqlite3_reset(st);
    return ok();
}

int DataTable::fetch(int key) {
    if (!requireOpen() || !validKey(key))
        return errorCode_;
    sqlite3_stmt* st = conn_->statement(schema_->fetch(key));
    if (!st)
        return failDriver(*conn_);
    const std::vector<int>& comps = def_.keys[key].components;
    for (size_t i = 0; i < comps.size(); ++i)
        bindField(st, static_cast<int>(i) + 1, record_, comps[i]);
    return readRow(st, key, RecordNotFound);
}

int DataTable::setPosition(int key, bool after) {
    if (!requireOpen() || !validKey(key))
        return errorCode_;
    Cursor& c = *cursor_;
    c.mode = Cursor::Mode::At;
    c.key = key;
    c.rowid = after ? kHighestRow : kLowestRow;
    const std::vector<int>& comps = def_.keys[key].components;
    c.texts.resize(comps.size());
    c.numbers.resize(comps.size());
    for (size_t i = 0; i < comps.size(); ++i)
        c.set(i, record_, comps[i]);
    return ok();
}

int DataTable::setToStart(int key) {
    if (!requireOpen() || !validKey(key))
        return errorCode_;
    *cursor_ = Cursor{Cursor::Mode::Start, key, {}, {}, 0};
    return ok();
}

int DataTable::setToEnd(int key) {
    if (!requireOpen() || !validKey(key))
        return errorCode_;
    *cursor_ = Cursor{Cursor::Mode::End, key, {}, {}, 0};
    return ok();
}

int DataTable::setStoredOrder(qint64 afterRecordNumber) {
    if (!requireOpen())
        return errorCode_;
    *cursor_ = Cursor{Cursor::Mode::At, -1, {}, {}, afterRecordNumber};
    return ok();
}

int DataTable::getByRecordNumber(qint64 recordNumber) {
    if (!requireOpen())
        return errorCode_;
    sqlite3_stmt* st = conn_->statement(schema_->byRowid());
    if (!st)
        return failDriver(*conn_);
    sqlite3_bind_int64(st, 1, recordNumber);
    return readRow(st, -1, RecordNotFound);
}

int DataTable::next() { return readStep(true); }
int DataTable::previous() { return readStep(false); }

int DataTable::readStep(bool forward) {
    if (!requireOpen())
        return errorCode_;
    const Cursor& c = *cursor_;
    const bool start = c.mode == Cursor::Mode::Start;
    const bool end = c.mode == Cursor::Mode::End;
    if ((start && !forward) || (end && forward))
        return fail(EndOfFile);
    sqlite3_stmt* st = nullptr;
    if (c.key < 0) {
        st = conn_->statement(schema_->storedStep(forward));
        if (st)
            sqlite3_bind_int64(st, 1, start ? 0 : end ? kHighestRow : c.rowid);
    } else if (start || end) {
        st = conn_->statement(schema_->edge(c.key, forward));
    } else {
        st = conn_->statement(schema_->seek(c.key, forward));
        if (st) {
            const std::vector<int>& comps = def_.keys[c.key].components;
            for (size_t i = 0; i < comps.size(); ++i) {
                const int param = static_cast<int>(i) + 1;
                if (isNumberType(def_.fields[comps[i]].type))
                    sqlite3_bind_int64(st, param, c.numbers[i]);
                else // copied: the cursor changes while the row is still being read
                    sqlite3_bind_text(st, param, c.texts[i].constData(),
                                      static_cast<int>(c.texts[i].size()), SQLITE_TRANSIENT);
            }
            sqlite3_bind_int64(st, static_cast<int>(comps.size()) + 1, c.rowid);
        }
    }
    if (!st)
        return failDriver(*conn_);
    return readRow(st, c.key, EndOfFile);
}

} // namespace ql
