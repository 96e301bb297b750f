#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
class Raw_Ethernet;

// The commands that find and set up devices on the network with DCP:
// discover, set-name, set-ip and flash. They take no configuration folder.
namespace Cli {

// A Set or Signal that no device answered.
constexpr int No_Device_Answered = 4;

bool Is_Dcp_Command(const QStringList& Arguments_After_Program);
int Run_Dcp(const QStringList& Arguments_After_Program, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err);
QString Dcp_Help_Text();

} // namespace Cli
