#include "app/Window_Library.h"
#include "cli/Cli_Arguments.h"
#include "cli/Cli_Commands.h"
#include "cli/Cli_Commission.h"
#include "cli/Cli_Review.h"

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
    // The report draws its pages, the one command with a (offscreen) graphics application.
    if (Cli::Is_Report_Command(Arguments))
        return Run_Report_Library(argc, argv);
    if (Cli::Wants_Commission_Record(Arguments))
        return Run_Commission_Record_Library(argc, argv);
    if (Cli::Is_Command_Line(Arguments))
        return Cli::Main(argc, argv);
    return Run_Window_Library(argc, argv);
}
