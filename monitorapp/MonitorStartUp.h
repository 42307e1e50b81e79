#pragma once

namespace ql {

class ConfigurationSettings;

// The monitor program opens the data files but never creates them: a folder
// whose Configuration table is missing or empty is one where the main program
// never ran. Leaves the table open when it is there.
bool mainProgramHasRun(ConfigurationSettings& settings);

} // namespace ql
