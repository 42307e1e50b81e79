#include "keys/RecordSendFields.h"
#include "platform/records/Record.h"

namespace ql {

SendFields sendFieldsOf(const Record& p) {
    return {p.text("P_:PASSWORD"), p.text("P_:NAME"),  p.text("P_:URL"),
            p.text("P_:SERVICE"),  p.text("P_:NOTES"), p.text("P_:MORENOTES")};
}

} // namespace ql
