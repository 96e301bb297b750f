#pragma once

#include "cli/Cli_Commands.h"

// The commands on the kept versions of a configuration's project files.
namespace Cli {

// sw40610 history CONFIG_DIR [--json]: one line per kept version, newest
// first, or one JSON document. Exit 0, 2 for wrong usage or not a
// configuration folder, 3 a project file that cannot be read.
Result<Exit_Code> Run_History(const Invocation& Given, Command_Context& Context);
// sw40610 restore CONFIG_DIR VERSION: puts the kept version back, the current
// one kept first. Exit 0 done, 1 no such version, 2 wrong usage, 3 the file
// could not be written or another program has the configuration open.
Result<Exit_Code> Run_Restore(const Invocation& Given, Command_Context& Context);

} // namespace Cli
