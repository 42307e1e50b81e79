#include "entries/StoreUserDefaults.h"
#include <initializer_list>

namespace ql {

namespace {

int storeUserFields(FileManager& users, const Record& user,
                    std::initializer_list<const char*> fields) {
    DataTable table(users.def());
    if (int code = users.open(table); code != store_error::NoError) return code;
    Record& stored = table.record();
    stored.setText("U_:NAME", user.text("U_:NAME"));
    if (int code = table.fetch(users.def().keyIndex(QLatin1String("U_:KEYNAME")));
        code != store_error::NoError)
        return code;
    for (const char* field : fields)
        Record::copyField(stored, stored.fieldIndex(QLatin1String(field)), user,
                          user.fieldIndex(QLatin1String(field)));
    return users.update(table);
}

} // namespace

int storeGeneratorDefaults(FileManager& users, const Record& user) {
    return storeUserFields(users, user,
                           {"U_:PASSWORDSIZE", "U_:PASSWORDTYPE", "U_:CONCATENATIONTYPE"});
}

int storeLastNameUsed(FileManager& users, const Record& user) {
    return storeUserFields(users, user, {"U_:LASTNAMEUSED"});
}

} // namespace ql
