#include "exchange/ImportAssignment.h"
#include "exchange/ExchangeFields.h"

namespace ql {

namespace {
const QString kTextPicture = QStringLiteral("@S1000");
const QString kNumberPicture = QStringLiteral("@N30.9");
constexpr int kSampleLength = 100;
} // namespace

ImportAssignment::ImportAssignment() {
    for (const ExchangeField& f : exchangeFields()) targets_.push_back({f.name, -1});
}

void ImportAssignment::buildColumns(const std::vector<LineField>& first,
                                    const std::vector<LineField>* second) {
    sources_.clear();
    for (TargetRow& t : targets_) t.source = -1;
    for (size_t i = 0; i < first.size(); ++i) {
        const bool number = second && i < second->size() && (*second)[i].kind == CsvFieldKind::Unquoted;
        sources_.push_back({QStringLiteral("Field_") + QString::number(i + 1),
                            number ? kNumberPicture : kTextPicture, first[i].text.left(kSampleLength)});
    }
}

void ImportAssignment::setSamples(const std::vector<LineField>& line) {
    for (size_t i = 0; i < line.size() && i < sources_.size(); ++i)
        sources_[i].sample = line[i].text.left(kSampleLength);
}

QString ImportAssignment::typeText(int source) const {
    return validSource(source) ? importTypeText(sources_[source].picture) : QString();
}

void ImportAssignment::assign(int source, int target) {
    if (validSource(source) && validTarget(target)) targets_[target].source = source;
}

void ImportAssignment::unassign(int target) {
    if (validTarget(target)) targets_[target].source = -1;
}

int ImportAssignment::autoAssign() {
    int assigned = 0;
    for (size_t t = 0; t < targets_.size(); ++t) {
        if (targets_[t].source >= 0) continue;
        for (size_t s = 0; s < sources_.size(); ++s) {
            if (sources_[s].sample != targets_[t].name) continue;
            targets_[t].source = int(s);
            sources_[s].picture = exchangeFields()[t].exportPicture;
            ++assigned;
            break;
        }
    }
    return assigned;
}

void ImportAssignment::setPicture(int source, const QString& picture) {
    if (validSource(source) && !picture.trimmed().isEmpty()) sources_[source].picture = picture.trimmed();
}

bool ImportAssignment::anyAssigned() const {
    for (const TargetRow& t : targets_)
        if (t.source >= 0) return true;
    return false;
}

int ImportAssignment::firstTargetOf(int source) const {
    for (size_t t = 0; t < targets_.size(); ++t)
        if (targets_[t].source == source) return int(t);
    return -1;
}

std::vector<std::vector<int>> ImportAssignment::targetsBySource() const {
    std::vector<std::vector<int>> by(sources_.size());
    for (size_t t = 0; t < targets_.size(); ++t)
        if (targets_[t].source >= 0) by[targets_[t].source].push_back(int(t));
    return by;
}

} // namespace ql
