#include "reports/ReportRun.h"
#include "platform/recordstore/StoreError.h"
#include <algorithm>

namespace ql {

ReportRun::ReportRun(DataTable& passwords, const QString& userName, int keyIndex, PageBuilder& pages)
    : passwords_(passwords), userName_(trimmedRight(userName).toString()), key_(keyIndex),
      userField_(passwords.def().fieldIndex(u"P_:USER")), pages_(pages) {}

ReportRun::Start ReportRun::start() {
    total_ = std::max<qint64>(0, passwords_.records());
    passwords_.clearBuffer();
    passwords_.record().setText(userField_, userName_);
    if (passwords_.setPosition(key_) != store_error::NoError) return Start::PositionFailed;
    if (!advance()) return readFailed_ ? Start::ReadFailed : Start::NoEntry;
    return Start::Found;
}

// Reads the next entry of the user; false at the end of the user's entries
// or on a read error.
bool ReportRun::advance() {
    const int result = passwords_.next();
    current_ = result == store_error::NoError && passwords_.record().sameText(userField_, userName_);
    readFailed_ = result != store_error::NoError && result != store_error::EndOfFile;
    return current_;
}

bool ReportRun::step(int limit) {
    for (int i = 0; i < limit && current_; ++i) {
        pages_.addEntry(passwords_.record());
        ++printed_;
        advance();
    }
    return current_;
}

int ReportRun::percent() const {
    const qint64 total = std::max<qint64>(total_, printed_);
    return total == 0 ? 0 : int(std::min<qint64>(100, qint64(printed_) * 100 / total));
}

} // namespace ql
