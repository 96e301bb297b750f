#pragma once

class QWidget;
class Workspace;
struct Platform_Services;

// The two ways to a configuration's report: the main window's button and the
// command "sw40610 report".
namespace Review {

// Asks where to save the active configuration's report (proposing
// "<configuration>-report.pdf" in its folder) and writes it; the outcome is
// told through the prompter.
void Ask_And_Write_Report(const Workspace& Space, const Platform_Services& Services);

// sw40610 report CONFIG_DIR [-o FILE] [--decimal-separator . | ,]: draws
// offscreen, so it needs no display. Makes its own graphics application.
// Exit 0 written, 2 wrong usage, 3 a file could not be read (or is not
// well-formed) or the report could not be written.
int Run_Report_Command(int argc, char* argv[]);

} // namespace Review
