#pragma once

class Prompter;
class Clock;
class Desktop_Shell;
class Decimal_Separator;
class Process_Runner;
class Echo_Client;

// The platform seams the windows and the logic behind them use. main()
// fills it with the real implementations; a test fills what it needs with fakes.
struct Platform_Services {
    Prompter* Prompts = nullptr;
    Clock* Time = nullptr;
    Desktop_Shell* Desktop = nullptr;
    Decimal_Separator* Separator = nullptr;
    Process_Runner* Processes = nullptr;
    Echo_Client* Echo = nullptr;
};
