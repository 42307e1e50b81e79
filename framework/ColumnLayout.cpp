#include "framework/ColumnLayout.h"
#include <QStringList>

namespace ql {

namespace {

constexpr int kMaxColumnWidth = 4000;

std::optional<std::vector<int>> parseNumbers(const QString& text, int count, int highest) {
    const QStringList parts = text.split(u',');
    if (count <= 0 || parts.size() != count) return std::nullopt;
    std::vector<int> numbers;
    for (const QString& part : parts) {
        bool number = false;
        const int value = part.trimmed().toInt(&number);
        if (!number || value < 0 || value > highest) return std::nullopt;
        numbers.push_back(value);
    }
    return numbers;
}

} // namespace

QString joinColumnNumbers(const std::vector<int>& numbers) {
    QStringList parts;
    for (int n : numbers) parts << QString::number(n);
    return parts.join(u',');
}

std::optional<std::vector<int>> parseColumnWidths(const QString& text, int count) {
    return parseNumbers(text, count, kMaxColumnWidth);
}

std::optional<std::vector<int>> parseColumnOrder(const QString& text, int count) {
    std::optional<std::vector<int>> order = parseNumbers(text, count, count - 1);
    if (!order) return std::nullopt;
    std::vector<bool> seen(size_t(count), false);
    for (int column : *order) {
        if (seen[size_t(column)]) return std::nullopt;
        seen[size_t(column)] = true;
    }
    return order;
}

} // namespace ql
