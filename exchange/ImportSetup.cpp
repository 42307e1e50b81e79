#include "exchange/ImportSetup.h"

namespace ql {

std::vector<LineField> ImportSetup::cutLine() {
    std::vector<LineField> fields;
    for (CsvFieldKind kind; (kind = csv_.nextField()) != CsvFieldKind::None;)
        fields.push_back({kind, csv_.field().toString()});
    return fields;
}

bool ImportSetup::load() {
    csv_.rewind(false);
    if (csv_.readLine() == 0) return false;
    const std::vector<LineField> first = cutLine();
    const bool second = csv_.readLine() > 0;
    const std::vector<LineField> secondFields = second ? cutLine() : std::vector<LineField>();
    assignment_.buildColumns(first, second ? &secondFields : nullptr);
    csv_.rewind(false);
    csv_.readLine();
    record_ = 1;
    atEnd_ = false;
    return true;
}

bool ImportSetup::next() {
    if (atEnd_) return false;
    if (csv_.readLine() == 0) {
        atEnd_ = true;
        return false;
    }
    ++record_;
    assignment_.setSamples(cutLine());
    return true;
}

int ImportSetup::autoAssign() { return autoAvailable() ? assignment_.autoAssign() : 0; }

} // namespace ql
