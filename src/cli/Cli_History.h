#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The commands on the kept versions of a configuration's project files.
namespace Cli {

bool Is_History_Command(const QStringList& Arguments_After_Program);
bool Is_Restore_Command(const QStringList& Arguments_After_Program);

// sw40610 history CONFIG_DIR [--json]: one line per kept version, newest
// first, or one JSON document. Exit 0, 2 for wrong usage or not a
// configuration folder.
int Run_History(const QStringList& Arguments_After_Command, QTextStream& Out, QTextStream& Err);
// sw40610 restore CONFIG_DIR VERSION: puts the kept version back, the current
// one kept first. Exit 0 done, 1 no such version, 2 wrong usage, 3 the file
// could not be written or another program has the configuration open.
int Run_Restore(const QStringList& Arguments_After_Command, QTextStream& Out, QTextStream& Err);

QString History_Help_Text();

} // namespace Cli
