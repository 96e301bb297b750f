#include "app/Window_Library.h"

#include "platform/Executable_Dir.h"
#include "platform/Program_Module.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

// The build names the library's file (libsw40610_window.so, sw40610_window.dll).
#ifndef SW_WINDOW_MODULE_FILE
#error "the build must name the window's library"
#endif

namespace {

int Run_Library_Entry(const char* Entry_Name, const char* What, int argc, char* argv[])
{
    // Only the file beside the executable, never one of the same name found
    // elsewhere. The library stays loaded until the process ends: Qt's
    // objects may still run code from it while the process shuts down.
    const auto Window = Program_Module::Load(QDir(Executable_Dir(argv[0])).filePath(QStringLiteral(SW_WINDOW_MODULE_FILE)));
    if (!Window) {
        std::fprintf(stderr, "sw40610: %s: %s\n", What, Window.error().toLocal8Bit().constData());
        return EXIT_FAILURE;
    }
    using Entry = int (*)(int, char**);
    const auto Start = reinterpret_cast<Entry>(Window->Resolve(Entry_Name));
    if (!Start) {
        std::fprintf(stderr, "sw40610: %s: %s\n", What, Window->Resolve_Error(Entry_Name).toLocal8Bit().constData());
        return EXIT_FAILURE;
    }
    return Start(argc, argv);
}

} // namespace

int Run_Window_Library(int argc, char* argv[])
{
    return Run_Library_Entry("sw40610_window_main", "the window cannot be started", argc, argv);
}

int Run_Report_Library(int argc, char* argv[])
{
    return Run_Library_Entry("sw40610_report_main", "the report cannot be drawn", argc, argv);
}

int Run_Commission_Record_Library(int argc, char* argv[])
{
    return Run_Library_Entry("sw40610_commission_main", "the record cannot be drawn", argc, argv);
}
