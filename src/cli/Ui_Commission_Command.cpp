#include "cli/Ui_Commission_Command.h"

#include "cli/Cli_Commission.h"
#include "commission/Ui_Commission_Record.h"
#include "foundation/Identity.h"
#include "foundation/Workspace.h"
#include "platform/Raw_Ethernet.h"

#include <QGuiApplication>
#include <QTextStream>

namespace Cli {

int Run_Commission_Record_Command(int argc, char* argv[])
{
    // Drawn offscreen: no display is needed, nor wanted.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    QCoreApplication::setApplicationName(Identity::SW_Code);
    QTextStream Out(stdout);
    QTextStream Err(stderr);
    Workspace Space(QCoreApplication::applicationDirPath());
    Space.Read_Settings();
    Space.Init_Language();
    Pcap_Raw_Ethernet Ethernet;
    const int Code = Run_Commission(QCoreApplication::arguments().mid(1), Space.Exe_Dir, Ethernet, Out, Err,
                                    [&Space](const Commission::Record& Rec, const QString& Path) {
                                        return Commission::Write_Record_Pdf(Rec, Path, Space);
                                    });
    Out.flush();
    Err.flush();
    return Code;
}

} // namespace Cli
