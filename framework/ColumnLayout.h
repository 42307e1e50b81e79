#pragma once
#include <QString>
#include <optional>
#include <vector>

namespace ql {

// How a list's columns are arranged, as the window's place keeps it: the
// widths in pixels, one per column in the model's order ("95,96,80"), and the
// columns as shown from left to right ("2,0,1").
QString joinColumnNumbers(const std::vector<int>& numbers);

// A stored width list for `count` columns; nullopt for anything else (a file
// edited by hand or written by another version keeps the design).
std::optional<std::vector<int>> parseColumnWidths(const QString& text, int count);

// A stored order of `count` columns: every column exactly once.
std::optional<std::vector<int>> parseColumnOrder(const QString& text, int count);

} // namespace ql
