#pragma once
#include "store/FileManager.h"
#include <QString>
#include <vector>

namespace ql {

// The word list shipped beside the programs, one word a line.
inline const QString kWordListFileName = QStringLiteral("quillock-words.txt");

// The shipped list's place: beside the running program, or in the
// installation's shared data folder.
QString shippedWordListPath();

// The words of a list file: lines of 3 to 20 lower-case letters a to z, each
// taken once, in file order. Any other line is skipped; a missing or
// oversized file gives no words.
std::vector<QString> readWordList(const QString& path);

// Fills the Words table from the list when the table is missing or empty,
// numbering the words from 1 in one batch. Returns the number of words added
// (0 when the table already had words or the list has none), or -1 when the
// table could not be opened or written (reported through the file manager).
int fillMissingWords(FileManager& words, const QString& listPath);

} // namespace ql
