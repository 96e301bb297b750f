#pragma once

// The commands that draw, each run on an offscreen graphics application by
// the window library: "report" and "commission ... --record FILE.pdf". They
// are read and run by the command line's registry as every other command;
// these only hand it the drawing. Exit codes as for every command.
namespace Cli {

int Run_Report_Command(int argc, char* argv[]);
int Run_Commission_Record_Command(int argc, char* argv[]);

} // namespace Cli
