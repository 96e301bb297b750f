#include "app/Window_Library.h"
#include "cli/Cli_Commands.h"
#include "cli/Cli_Registry.h"

#include <QStringList>

#include <csignal>

// With a command the program runs on a core application only, so it needs no
// display and loads no windowing plugin; without one it starts the window.
// The choice is made before any application object exists, and the window's
// libraries are loaded only when the window is wanted.
int main(int argc, char* argv[])
{
#ifdef SIGXFSZ
    // Past a file-size limit a write fails with its reason instead of ending
    // the program halfway through a file, in the window and every command.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QStringList Arguments;
    for (int I = 1; I < argc; ++I)
        Arguments.append(QString::fromLocal8Bit(argv[I]));
    // The commands that draw (the report, a commissioning record) run with an
    // offscreen graphics application; the command line's registry tells which.
    switch (Cli::How_To_Start(Arguments)) {
    case Cli::Start::Drawing_Report: return Run_Report_Library(argc, argv);
    case Cli::Start::Drawing_Commission_Record: return Run_Commission_Record_Library(argc, argv);
    case Cli::Start::Command: return Cli::Main(argc, argv);
    case Cli::Start::Window: break;
    }
    return Run_Window_Library(argc, argv);
}
