#pragma once

#include "commission/Commission_Record.h"

#include <QString>
#include <QStringList>

class QTextStream;
class Raw_Ethernet;

// The commands that commission a whole plant from its list, and reset one
// device to its factory settings.
namespace Cli {

bool Is_Commission_Command(const QStringList& Arguments_After_Program);
// "commission ... --record FILE": the record is drawn, so the command runs
// with an (offscreen) graphics application.
bool Wants_Commission_Record(const QStringList& Arguments_After_Program);

// Runs "commission" or "reset-to-factory". Write_Record draws the record
// for --record; without one, --record is refused as a file that cannot be
// written.
int Run_Commission(const QStringList& Arguments_After_Program, const QString& Exe_Dir, Raw_Ethernet& Ethernet,
                   QTextStream& Out, QTextStream& Err, const Commission::Record_Writer& Write_Record = {});

QString Commission_Help_Text();

} // namespace Cli
