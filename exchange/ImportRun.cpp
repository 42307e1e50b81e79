#include "exchange/ImportRun.h"
#include "exchange/ExchangeFields.h"
#include "platform/core/Clock.h"
#include "platform/core/DayNumber.h"
#include "platform/recordstore/StoreError.h"
#include "store/DataFileOpener.h"
#include "store/FileManager.h"
#include "store/ImportedEntries.h"
#include <limits>

namespace ql {

namespace se = store_error;

namespace {

constexpr int kCommitMs = 3000;  // a transaction holds at most about this much work
constexpr int kIdAttempts = 3;
const QString kIdKey = QStringLiteral("Unique ID");

struct Range {
    qint64 low, high;
};

Range rangeOf(const FieldDef& field) {
    switch (field.type) {
    case FieldType::Byte:
        if (field.name.endsWith(QLatin1String(":SECONDSTOWAIT"))) return {0, kMaxSecondsToWait};
        return {0, 255};
    case FieldType::Date: return {0, dayNumber(QDate(9999, 12, 31))};
    case FieldType::Time: return {0, kHundredthsPerDay};
    default: return {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    }
}

QString unreadable(const QString& target, const Picture& picture) {
    switch (picture.kind()) {
    case PictureKind::Date: return target + QStringLiteral(" is not a date as ") + picture.text() + QStringLiteral(" shows one");
    case PictureKind::Time: return target + QStringLiteral(" is not a time as ") + picture.text() + QStringLiteral(" shows one");
    default: return target + QStringLiteral(" does not fit the picture ") + picture.text();
    }
}

} // namespace

ImportRun::ImportRun(const Setup& setup) : s_(setup) {
    const Record& entry = s_.passwords.record();
    userField_ = entry.fieldIndex(u"P_:USER");
    idField_ = entry.fieldIndex(u"P_:ID");
    passwordField_ = entry.fieldIndex(u"P_:PASSWORD");
    confirmField_ = entry.fieldIndex(u"P_:CONFIRMPASSWORD");
    targetNames_.resize(entry.fieldCount());
    const std::vector<std::vector<int>> bySource = s_.assignment.targetsBySource();
    for (size_t c = 0; c < bySource.size(); ++c) {
        Column column{Picture(s_.assignment.sources()[c].picture), {}};
        for (int target : bySource[c]) {
            const QString& name = exchangeFields()[target].name;
            const int field = entry.fieldIndex(name);
            column.fields.push_back(field);
            targetNames_[field] = name;
        }
        columns_.push_back(std::move(column));
    }
}

bool ImportRun::start() {
    s_.csv.rewind(true);
    if (s_.skipHeader) readNext();
    hasLine_ = readNext();
    s_.passwords.stream();
    batchClock_.start();
    if (!hasLine_) finish();
    return hasLine_;
}

bool ImportRun::readNext() {
    const qint64 bytes = s_.csv.readLine();
    if (bytes <= 0) return false;
    bytesRead_ += bytes;
    updatePercent();
    return true;
}

void ImportRun::updatePercent() {
    if (percent_ >= 100 || s_.fileSize <= 0) return;
    const int now = int(std::min<qint64>(100, bytesRead_ * 100 / s_.fileSize));
    if (now == percent_) return;
    percent_ = now;
    percentText_ = QString::number(now).rightJustified(3) + QStringLiteral("% Completed");
}

bool ImportRun::step(int minLines, int budgetMs) {
    if (finished_) return false;
    QElapsedTimer tick;
    tick.start();
    for (int handled = 0; hasLine_;) {
        if (!importLine()) {
            finish();
            return false;
        }
        hasLine_ = readNext();
        if (++handled >= minLines && tick.elapsed() >= budgetMs) break;
    }
    if (!hasLine_) {
        finish();
        return false;
    }
    if (batchClock_.elapsed() >= kCommitMs) {
        s_.passwords.flush();
        s_.passwords.stream();
        batchClock_.restart();
    }
    return true;
}

void ImportRun::cancel() {
    if (finished_) return;
    totals_.cancelled = true;
    finish();
}

void ImportRun::finish() {
    if (finished_) return;
    finished_ = true;
    hasLine_ = false;
    if (s_.passwords.inBatch() && s_.passwords.flush() != se::NoError && !totals_.failed) {
        totals_.failed = true;
        s_.prompter.ask({QStringLiteral("Cannot ADD to Passwords!"),
                         QStringLiteral("Error #") + QString::number(s_.passwords.errorCode()) +
                             QStringLiteral(" - ") + s_.passwords.errorText(),
                         int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Stop});
    }
    if (!totals_.cancelled && !totals_.failed) percentText_ = QStringLiteral("Process Completed");
}

// False when the run has to stop (the entry could not be added).
bool ImportRun::importLine() {
    QString reason;
    if (!fillEntry(reason)) {
        if (!reason.isEmpty()) totals_.skip(s_.csv.lineNumber(), reason);
        return true;
    }
    return addEntry();
}

// A new entry with its defaults, then the assigned columns of the line. False
// for a blank line (nothing to add) or a value that cannot be stored (reason).
bool ImportRun::fillEntry(QString& reason) {
    Record& entry = s_.passwords.record();
    s_.manager.primeRecord(entry);
    bool any = false;
    for (const Column& column : columns_) {
        if (s_.csv.nextField() == CsvFieldKind::None) break;
        any = true;
        if (column.fields.empty()) continue;
        const std::optional<QString> value = s_.csv.unpickField(column.picture);
        for (int field : column.fields) {
            if (!value) reason = unreadable(targetNames_[field], column.picture);
            else storeValue(field, *value, reason);
            if (!reason.isEmpty()) return false;
        }
    }
    return any;
}

bool ImportRun::storeValue(int field, const QString& text, QString& reason) {
    Record& entry = s_.passwords.record();
    const FieldDef& def = entry.def().fields[field];
    if (isTextType(def.type)) {
        if (!entry.fitsText(field, text)) totals_.shorten(s_.csv.lineNumber());
        entry.setText(field, text);
        return true;
    }
    const std::optional<qint64> number = parseWholeNumber(text);
    if (!number) {
        reason = targetNames_[field] + QStringLiteral(" is not a number");
        return false;
    }
    const Range range = rangeOf(def);
    if (*number < range.low || *number > range.high) {
        reason = targetNames_[field] + QStringLiteral(" must be between %1 and %2")
                                           .arg(range.low).arg(range.high);
        return false;
    }
    entry.setNumber(field, *number);
    return true;
}

// Adds the entry under the next free identifier, which the store takes from
// the highest one inside the write. Only a clash of identifiers is retried.
bool ImportRun::addEntry() {
    Record& entry = s_.passwords.record();
    entry.setText(userField_, s_.user);
    entry.setText(confirmField_, entry.text(passwordField_));
    imported_entry::markImported(entry);
    for (int attempts = 1;; ++attempts) {
        entry.setNumber(idField_, 0);
        if (s_.passwords.add() == se::NoError) {
            ++totals_.imported;
            return true;
        }
        if (s_.passwords.errorCode() != se::DuplicateKey) break;
        if (s_.passwords.duplicateKeyDescription() != kIdKey) {
            totals_.skip(s_.csv.lineNumber(),
                         QStringLiteral("the user already has an entry with this service and name"));
            return true;
        }
        if (attempts % kIdAttempts == 0 &&
            s_.opener.reportFileError(25, s_.passwords) != PromptButton::Retry)
            break;
    }
    totals_.failed = true;
    s_.prompter.ask({QStringLiteral("Cannot ADD to Passwords!"),
                     QStringLiteral("Error #") + QString::number(s_.passwords.errorCode()) +
                         QStringLiteral(" - ") + s_.passwords.errorText(),
                     int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Stop});
    return false;
}

} // namespace ql
