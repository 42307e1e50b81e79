#include "health/PasswordHealth.h"
#include "framework/Pictures.h"
#include "platform/recordstore/StoreError.h"
#include "platform/secure/Wipe.h"
#include <sodium.h>
#include <algorithm>
#include <tuple>

namespace ql {

bool HealthRow::needsAttention() const {
    return blank || strength.score < 3 || reused() || expiry == ExpiryState::Expired ||
           expiry == ExpiryState::Soon || unchangedOverAYear;
}

PasswordHealthCheck::PasswordHealthCheck(int32_t today) : today_(today), key_(crypto_generichash_KEYBYTES, '\0') {
    randombytes_buf(key_.data(), size_t(key_.size()));
}

PasswordHealthCheck::~PasswordHealthCheck() { wipeBytes(key_); }

QByteArray PasswordHealthCheck::digestOf(const QString& password) const {
    QByteArray bytes = password.toUtf8();
    QByteArray digest(crypto_generichash_BYTES, '\0');
    crypto_generichash(reinterpret_cast<unsigned char*>(digest.data()), size_t(digest.size()),
                       reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()),
                       reinterpret_cast<const unsigned char*>(key_.constData()), size_t(key_.size()));
    wipeBytes(bytes);
    return digest;
}

namespace {

void setExpiry(HealthRow& row, int32_t today) {
    if (row.expiryDate == 0) return;
    row.daysToExpiry = row.expiryDate - today;
    if (row.daysToExpiry <= 0) row.expiry = ExpiryState::Expired;
    else if (row.daysToExpiry <= kExpiringWithinDays) row.expiry = ExpiryState::Soon;
    else row.expiry = ExpiryState::Later;
}

} // namespace

void PasswordHealthCheck::add(const Record& entry, qint64 recordNumber) {
    HealthRow row;
    row.recordNumber = recordNumber;
    row.service = entry.text("P_:SERVICE");
    row.name = entry.text("P_:NAME");
    QString password = entry.text("P_:PASSWORD");
    row.blank = password.isEmpty();
    row.strength = estimateStrength(password);
    QByteArray digest;
    if (!row.blank) {
        digest = digestOf(password);
        ++uses_[digest];
    }
    wipeText(password);
    row.expiryDate = int32_t(entry.number("P_:EXPIRYDATE"));
    row.lastChangeDate = int32_t(entry.number("P_:LASTCHANGEDATE"));
    setExpiry(row, today_);
    row.unchangedOverAYear = row.lastChangeDate != 0 && today_ - row.lastChangeDate > kUnchangedForDays;
    rows_.push_back(std::move(row));
    digests_.push_back(std::move(digest));
}

bool worseHealth(const HealthRow& a, const HealthRow& b) {
    auto rank = [](const HealthRow& r) {
        const int expiry = r.expiry == ExpiryState::Expired ? 0 : r.expiry == ExpiryState::Soon ? 1 : 2;
        return std::make_tuple(!r.blank, r.strength.score, !r.reused(), expiry, !r.unchangedOverAYear,
                               r.strength.guessesLog10);
    };
    const auto ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb;
    const int service = a.service.compare(b.service, Qt::CaseInsensitive);
    if (service != 0) return service < 0;
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
}

std::vector<HealthRow> PasswordHealthCheck::finish() {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (!digests_[i].isEmpty()) rows_[i].sameAsOthers = uses_.value(digests_[i]) - 1;
    digests_.clear();
    uses_.clear();
    std::stable_sort(rows_.begin(), rows_.end(), worseHealth);
    return std::move(rows_);
}

namespace {
QString dayText(int32_t day, const QString& picture) { return day == 0 ? QString() : formatDate(day, picture); }
} // namespace

QString healthStrengthText(const HealthRow& row) {
    return row.blank ? QStringLiteral("No password") : strengthText(row.strength.score);
}

QString healthReusedText(const HealthRow& row) {
    if (!row.reused()) return QString();
    return row.sameAsOthers == 1 ? QStringLiteral("Yes, 1 other entry")
                                 : QStringLiteral("Yes, %1 other entries").arg(row.sameAsOthers);
}

QString healthExpiryText(const HealthRow& row, const QString& datePicture) {
    const QString date = dayText(row.expiryDate, datePicture);
    switch (row.expiry) {
    case ExpiryState::None: return QString();
    case ExpiryState::Later: return date;
    case ExpiryState::Soon:
        return date + (row.daysToExpiry == 1 ? QStringLiteral(" (tomorrow)")
                                             : QStringLiteral(" (in %1 days)").arg(row.daysToExpiry));
    case ExpiryState::Expired: return date + QStringLiteral(" (expired)");
    }
    return date;
}

QString healthLastChangedText(const HealthRow& row, const QString& datePicture) {
    const QString date = dayText(row.lastChangeDate, datePicture);
    return row.unchangedOverAYear ? date + QStringLiteral(" (over a year)") : date;
}

std::vector<HealthRow> checkUserPasswords(DataTable& passwords, const QString& userName, int32_t today) {
    const QString user = trimmedRight(userName).toString();
    const int userField = passwords.def().fieldIndex(u"P_:USER");
    PasswordHealthCheck check(today);
    passwords.clearBuffer();
    passwords.record().setText(userField, user);
    if (passwords.setPosition(passwords.def().keyIndex(u"P_:KEYSERVICE")) == store_error::NoError) {
        while (passwords.next() == store_error::NoError && passwords.record().sameText(userField, user))
            check.add(passwords.record(), passwords.recordNumber());
    }
    passwords.record().wipe();
    return check.finish();
}

} // namespace ql
