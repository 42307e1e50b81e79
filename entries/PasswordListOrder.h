#pragma once
#include <QString>
#include <array>

namespace ql {

// The sort orders of the password list, one per tab. Every order is limited to
// one user's entries: the first component of each key is P_:USER, and typing
// locates on the component after it.
enum class ListTab { Service, Url, Name, Date, Expired };

struct ListOrder {
    ListTab tab;
    QString tabText;     // "Service"
    QString key;         // "P_:KEYSERVICE"
    QString locateField; // "P_:SERVICE"
    bool expiredOnly;    // only entries with an expiry date that is today or earlier
};

inline constexpr int kListTabCount = 5;
const std::array<ListOrder, kListTabCount>& listOrders();
const ListOrder& listOrder(ListTab tab);

} // namespace ql
