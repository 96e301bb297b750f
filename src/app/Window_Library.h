#pragma once

// Loads the window's library from the executable's folder and runs the
// window; commands never come here, so they never map a GUI library.
int Run_Window_Library(int argc, char* argv[]);
