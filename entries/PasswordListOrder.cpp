#include "entries/PasswordListOrder.h"

namespace ql {

const std::array<ListOrder, kListTabCount>& listOrders() {
    static const std::array<ListOrder, kListTabCount> orders{{
        {ListTab::Service, QStringLiteral("Service"), QStringLiteral("P_:KEYSERVICE"),
         QStringLiteral("P_:SERVICE"), false},
        {ListTab::Url, QStringLiteral("URL"), QStringLiteral("P_:KEYURL"), QStringLiteral("P_:URL"),
         false},
        {ListTab::Name, QStringLiteral("Name"), QStringLiteral("P_:KEYNAME"),
         QStringLiteral("P_:NAME"), false},
        {ListTab::Date, QStringLiteral("Date"), QStringLiteral("P_:KEYDATECHANGED"),
         QStringLiteral("P_:LASTCHANGEDATE"), false},
        {ListTab::Expired, QStringLiteral("Expired"), QStringLiteral("P_:KEYEXPIRYDATE"),
         QStringLiteral("P_:EXPIRYDATE"), true},
    }};
    return orders;
}

const ListOrder& listOrder(ListTab tab) { return listOrders()[size_t(tab)]; }

} // namespace ql
