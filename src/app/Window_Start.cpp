// The configurator's window: the platform services, the workspace and the main window.
#include "app/Window_Start.h"
#include "Build_Token.h"
#include "app/Window_Module.h"
#include "platform/Program_Module.h"
#include "platform/Clock.h"
#include "platform/Decimal_Separator.h"
#include "platform/Display.h"
#include "platform/Qt_Http_Client.h"
#include "platform/Echo_Client.h"
#include "platform/Process_Runner.h"
#include "platform/Raw_Ethernet.h"
#include "platform/Ui_Desktop_Shell.h"
#include "platform/Ui_Message_Box_Prompter.h"
#include "platform/Ui_Open_File_Dialog.h"
#include "platform/Ui_Save_File_Dialog.h"
#include "cli/Ui_Drawing_Commands.h"
#include "shell/TFTavorixFirmWare.h"
#include "widgets/Ui_Guarded_Application.h"
#include "foundation/Workspace.h"

#include <cstdio>
#include <cstdlib>

int Run_Window(int argc, char* argv[])
{
    if (!Display_Available()) {
        std::fputs("sw40610: no display found; start it with a display, or run: xvfb-run ./run.sh\n", stderr);
        return EXIT_FAILURE;
    }
    Guarded_Application App(argc, argv);
    // The name, not the display name: a display name would be appended to
    // every window caption; message boxes still take it as their title.
    QApplication::setApplicationName(Identity::SW_Code);

    Message_Box_Prompter Prompts;
    System_Clock Time;
    Qt_Desktop_Shell Desktop;
    System_Decimal_Separator Separator;
    Qt_Http_Client Http;
    Qt_Save_File_Dialog Save_Dialog;
    Qt_Open_File_Dialog Open_Dialog;
    Qt_Process_Runner Processes;
    Icmp_Echo_Client Echo;
    Pcap_Raw_Ethernet Ethernet;
    App.Set_Prompter(&Prompts);

    Workspace Space(QCoreApplication::applicationDirPath());
    Platform_Services Services;
    Services.Prompts = &Prompts;
    Services.Time = &Time;
    Services.Desktop = &Desktop;
    Services.Separator = &Separator;
    Services.Http = &Http;
    Services.Save_Dialog = &Save_Dialog;
    Services.Open_Dialog = &Open_Dialog;
    Services.Processes = &Processes;
    Services.Echo = &Echo;
    Services.Ethernet = &Ethernet;

    TFTavorixFirmWare Main_Window(Space, Services);
    Main_Window.show();
    return QApplication::exec();
}

SW_EXPORT_MODULE_TOKEN(SW_BUILD_TOKEN);

const Window_Module_Entries* sw40610_window_entries()
{
    static constexpr Window_Module_Entries Entries{
        Run_Window,
        Cli::Run_Report_Command,
        Cli::Run_Commission_Record_Command,
    };
    return &Entries;
}
