#include "store/FileManager.h"
#include "framework/MessageIds.h"
#include "platform/core/DayNumber.h"
#include <QDate>

namespace ql {

namespace se = store_error;

FileManager::FileManager(const TableDef& def, ErrorManager& errors, bool createWhenMissing)
    : def_(def), errors_(errors), create_(createWhenMissing) {}

void FileManager::captureError(const DataTable& table) {
    errors_.setRuntimeError({table.errorCode(), table.errorText(), table.driverErrorCode(),
                             table.driverErrorText()});
}

int FileManager::openOnce(DataTable& table, int accessMode) {
    int code = table.open(accessMode);
    if (code == se::NotFound && create_) {
        if (table.create() != se::NoError) return table.errorCode();
        code = table.open(accessMode);
    }
    return code == se::AlreadyOpen ? se::NoError : code;
}

int FileManager::recoverAndRetry(DataTable& table, int accessMode) {
    table.send(QStringLiteral("Recover=10"));
    int code = openOnce(table, accessMode);
    const bool denied = code == se::Locked || code == se::AccessDenied;
    const bool wantsWrite = (accessMode & 0x0F) != 0;
    if (!denied || !wantsWrite) return code;
    captureError(table);
    errors_.reportForFile(msg::AccessDenied, def_.label);
    return openOnce(table, (accessMode & 0xF0) | 0x00);
}

int FileManager::rebuildKeys(DataTable& table, int accessMode) {
    captureError(table);
    errors_.reportForFile(msg::RebuildKey, def_.label);
    table.close();
    if (table.buildKeys() != se::NoError) {
        captureError(table);
        errors_.reportForFile(msg::RebuildFailed, def_.label);
        return table.errorCode();
    }
    return openOnce(table, accessMode);
}

int FileManager::open(DataTable& table, int accessMode) {
    int code = openOnce(table, accessMode);
    if (code == se::Locked || code == se::AccessDenied) code = recoverAndRetry(table, accessMode);
    if (code == se::KeysInvalid) code = rebuildKeys(table, accessMode);
    if (code != se::NoError) {
        captureError(table);
        errors_.reportForFile(msg::OpenFailed, def_.label);
    }
    return code;
}

void FileManager::primeRecord(Record& record) const {
    record.clear();
    for (const char* level : {"P_:LEVEL", "U_:LEVEL", "SF_:LEVEL"}) {
        const int field = record.fieldIndex(QLatin1String(level));
        if (field >= 0) record.setNumber(field, 4000);
    }
    const int added = record.fieldIndex(QLatin1String("CF:DATEADDED"));
    if (added >= 0) record.setNumber(added, dayNumber(QDate::currentDate()));
}

bool FileManager::validateField(Record& record, int field) {
    return validateValue(record, field, record.number(field));
}

bool FileManager::validateValue(const Record& record, int field, qint64 value) {
    if (field < 0 || field >= record.fieldCount()) return true;
    const QString& name = def_.fields[field].name;
    if (!name.endsWith(QLatin1String(":SECONDSTOWAIT"))) return true;
    if (value >= 0 && value <= kMaxSecondsToWait) return true;
    errors_.setFieldName(QStringLiteral("Seconds before start of automatic send to"));
    errors_.reportWithText(msg::FieldOutOfRange, QStringLiteral("0 and 199"));
    return false;
}

int FileManager::validateRecord(Record& record) {
    const int level = record.fieldIndex(QLatin1String("P_:LEVEL"));
    if (level >= 0 && def_.prefix == QLatin1String("P_")) record.setNumber(level, 10000);
    for (int field = 0; field < record.fieldCount(); ++field)
        if (!validateField(record, field)) return field;
    return -1;
}

int FileManager::reportWriteError(DataTable& table, uint16_t messageId) {
    const int code = table.errorCode();
    captureError(table);
    if (code == se::DuplicateKey)
        errors_.reportWithText(msg::DuplicateKey, table.duplicateKeyDescription());
    else
        errors_.reportForFile(messageId, def_.label);
    return code;
}

int FileManager::insert(DataTable& table) {
    return table.add() == se::NoError ? se::NoError : reportWriteError(table, msg::InsertFailed);
}

int FileManager::update(DataTable& table) {
    return table.put() == se::NoError ? se::NoError : reportWriteError(table, msg::PutFailed);
}

int FileManager::remove(DataTable& table) {
    return table.remove() == se::NoError ? se::NoError : reportWriteError(table, msg::DeleteFailed);
}

} // namespace ql
