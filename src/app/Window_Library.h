#pragma once

// The window and the report's drawing live in a library beside the
// executable, loaded only for them, so that the other commands never map a
// GUI library.

// Loads the library and runs the window.
int Run_Window_Library(int argc, char* argv[]);
// Loads the library and runs the report command (drawn offscreen).
int Run_Report_Library(int argc, char* argv[]);
// Loads the library and runs the commissioning command that draws its record.
int Run_Commission_Record_Library(int argc, char* argv[]);
