#pragma once

// Starts the configurator's window and runs its event loop until it closes.
int Run_Window(int argc, char* argv[]);
