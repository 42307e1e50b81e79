#include "entries/StoreUserDefaults.h"

namespace ql {

int storeGeneratorDefaults(FileManager& users, const Record& user) {
    DataTable table(users.def());
    if (int code = users.open(table); code != store_error::NoError) return code;
    Record& stored = table.record();
    stored.setText("U_:NAME", user.text("U_:NAME"));
    if (int code = table.fetch(users.def().keyIndex(QLatin1String("U_:KEYNAME")));
        code != store_error::NoError)
        return code;
    for (const char* field : {"U_:PASSWORDSIZE", "U_:PASSWORDTYPE", "U_:CONCATENATIONTYPE"})
        Record::copyField(stored, stored.fieldIndex(QLatin1String(field)), user,
                          user.fieldIndex(QLatin1String(field)));
    return users.update(table);
}

} // namespace ql
