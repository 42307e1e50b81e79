#include "monitorapp/MonitorStartUp.h"
#include "store/ConfigurationSettings.h"

namespace ql {

bool mainProgramHasRun(ConfigurationSettings& settings) {
    const int code = settings.table().open(access_mode::SharedReadWrite);
    if (code != store_error::NoError && code != store_error::AlreadyOpen) return false;
    return settings.table().records() > 0;
}

} // namespace ql
