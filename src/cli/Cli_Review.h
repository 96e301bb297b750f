#pragma once

#include "cli/Cli_Commands.h"

// The commands that look at whole configurations: "diff" compares two,
// "report" writes one's PDF report (drawn by the graphics application's
// start, which hands in the drawing).
namespace Cli {

// sw40610 diff CONFIG_A CONFIG_B: one line per difference. Exit 0 when the
// two give the device the same configuration (descriptions may differ), 1
// when they differ, 2 for wrong usage or not a configuration folder, 3 when
// a file could not be read.
Result<Exit_Code> Run_Diff(const Invocation& Given, Command_Context& Context);
// sw40610 report CONFIG_DIR [-o FILE]. Exit 0 written, 2 wrong usage or not a
// configuration folder, 3 a file could not be read or the report written.
Result<Exit_Code> Run_Report(const Invocation& Given, Command_Context& Context);

} // namespace Cli
