#pragma once

#include "cli/Cli_Registry.h"

class QTextStream;
class Raw_Ethernet;

// The commands that find and set up devices on the network with DCP:
// discover, set-name, set-ip and flash. They take no configuration folder.
namespace Cli {

// How long a command waits for the devices' answers, in milliseconds: its
// --timeout, from 10 to the largest response delay the devices know, or
// Default_Timeout_Ms without it. Command names the command in the refusal.
constexpr int Default_Timeout_Ms = 1000;
Result<int> Answer_Window_Ms(const Invocation& Given, const char* Command);

Result<Exit_Code> Run_Dcp(const Invocation& Given, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err);

} // namespace Cli
