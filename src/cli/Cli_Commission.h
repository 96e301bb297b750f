#pragma once

#include "cli/Cli_Registry.h"
#include "commission/Commission_Record.h"

#include <QString>

class QTextStream;
class Raw_Ethernet;

// The commands that commission a whole plant from its list, and reset one
// device to its factory settings.
namespace Cli {

// Runs "commission" or "reset-to-factory". Write_Record draws the record
// for --record; without one, --record is refused as a file that cannot be
// written.
Result<Exit_Code> Run_Commission(const Invocation& Given, const QString& Exe_Dir, Raw_Ethernet& Ethernet,
                                 QTextStream& Out, QTextStream& Err, const Commission::Record_Writer& Write_Record = {});

} // namespace Cli
