#pragma once

class Prompter;
class Clock;
class Desktop_Shell;
class Decimal_Separator;
class Http_Client;
class Save_File_Dialog;
class Open_File_Dialog;
class Process_Runner;
class Echo_Client;
class Raw_Ethernet;

// The platform seams the windows and the logic behind them use. main()
// fills it with the real implementations; a test fills what it needs with fakes.
struct Platform_Services {
    Prompter* Prompts = nullptr;
    Clock* Time = nullptr;
    Desktop_Shell* Desktop = nullptr;
    Decimal_Separator* Separator = nullptr;
    Http_Client* Http = nullptr;
    Save_File_Dialog* Save_Dialog = nullptr;
    Open_File_Dialog* Open_Dialog = nullptr;
    Process_Runner* Processes = nullptr;
    Echo_Client* Echo = nullptr;
    Raw_Ethernet* Ethernet = nullptr;
};
