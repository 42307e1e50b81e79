#pragma once
#include <QString>
#include <vector>

namespace ql {

// One entry field that the import and the export can carry: its name in the
// lists and the header line ("P_:Service", which is also the field's name in
// the Passwords layout) and the picture the export starts with.
struct ExchangeField {
    QString name;
    QString exportPicture;
};

// The twenty fields, in table order.
const std::vector<ExchangeField>& exchangeFields();
// Index in exchangeFields() of a name, ignoring case; -1 when absent.
int exchangeFieldIndex(QStringView name);

// How the lists show a picture: "Alpha-num" (import) or "Alpha-numeric"
// (export) for text, "Numeric" for numbers, otherwise the picture itself.
QString importTypeText(const QString& picture);
QString exportTypeText(const QString& picture);

// A picture typed by the user must begin with "@".
bool validPicture(QStringView picture);

} // namespace ql
