#pragma once

#include "cli/Cli_Registry.h"

class QTextStream;
class Raw_Ethernet;

// The commands that find and set up devices on the network with DCP:
// discover, set-name, set-ip and flash. They take no configuration folder.
namespace Cli {

Result<Exit_Code> Run_Dcp(const Invocation& Given, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err);

} // namespace Cli
