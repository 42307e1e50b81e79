#pragma once
#include "health/PasswordStrength.h"
#include "platform/recordstore/DataTable.h"
#include <QByteArray>
#include <QHash>
#include <cstdint>
#include <vector>

namespace ql {

enum class ExpiryState { None, Later, Soon, Expired };

// The health of one entry's password: never the password itself.
struct HealthRow {
    qint64 recordNumber = 0;
    QString service, name;
    bool blank = false;           // the entry has no password
    PasswordStrength strength;
    int sameAsOthers = 0;         // other entries of the user with exactly this password
    int32_t expiryDate = 0;       // day numbers, 0 for none
    int32_t lastChangeDate = 0;
    ExpiryState expiry = ExpiryState::None;
    int daysToExpiry = 0;         // negative once expired
    bool unchangedOverAYear = false;

    bool reused() const { return sameAsOthers > 0; }
    // Whether anything about the entry asks for a new password.
    bool needsAttention() const;
};

inline constexpr int kExpiringWithinDays = 30;
inline constexpr int kUnchangedForDays = 365;

// Collects entries one at a time and then ranks them worst first. Passwords
// are compared exactly (case and trailing blanks count), through keyed
// digests made with a key drawn for this check only, so the check holds no
// copy of any password once an entry is added. Blank passwords are never
// counted as reused.
class PasswordHealthCheck {
public:
    explicit PasswordHealthCheck(int32_t today);
    ~PasswordHealthCheck();
    PasswordHealthCheck(const PasswordHealthCheck&) = delete;
    PasswordHealthCheck& operator=(const PasswordHealthCheck&) = delete;

    // A Passwords record.
    void add(const Record& entry, qint64 recordNumber);
    // The rows, worst first: weaker passwords first, then reused, expired,
    // expiring, long unchanged ones, then by service and name.
    std::vector<HealthRow> finish();

private:
    QByteArray digestOf(const QString& password) const;

    int32_t today_;
    QByteArray key_;
    std::vector<HealthRow> rows_;
    std::vector<QByteArray> digests_; // per row; empty for a blank password
    QHash<QByteArray, int> uses_;
};

// Worst first, as PasswordHealthCheck::finish() orders.
bool worseHealth(const HealthRow& a, const HealthRow& b);

// The texts the window and the report show for a row; dates through a date picture ("@d17").
QString healthStrengthText(const HealthRow& row);  // "2 - Fair", "No password"
QString healthReusedText(const HealthRow& row);    // "Yes, 2 other entries", blank when not
QString healthExpiryText(const HealthRow& row, const QString& datePicture);      // "... (in 12 days)"
QString healthLastChangedText(const HealthRow& row, const QString& datePicture); // "... (over a year)"

// Checks every entry of one user (the stored name may differ in letter case)
// on an open Passwords table; uses the table's buffer and position.
std::vector<HealthRow> checkUserPasswords(DataTable& passwords, const QString& userName, int32_t today);

} // namespace ql
