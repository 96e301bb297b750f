#pragma once

namespace Cli {

// "sw40610 commission ... --record FILE.pdf": the command with an offscreen
// graphics application that draws the record. Exit codes as without --record.
int Run_Commission_Record_Command(int argc, char* argv[]);

} // namespace Cli
