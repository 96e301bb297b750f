#include "app/Window_Library.h"

#include "platform/Executable_Dir.h"

#include <QDir>
#include <QLibrary>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

int Run_Library_Entry(const char* Entry_Name, const char* What, int argc, char* argv[])
{
    QLibrary Window(QDir(Executable_Dir(argv[0])).filePath(QStringLiteral("libsw40610_window")));
    using Entry = int (*)(int, char**);
    const auto Start = reinterpret_cast<Entry>(Window.resolve(Entry_Name));
    if (!Start) {
        std::fprintf(stderr, "sw40610: %s: %s\n", What, Window.errorString().toLocal8Bit().constData());
        return EXIT_FAILURE;
    }
    // The library stays loaded until the process ends: Qt's objects may
    // still run code from it while the process shuts down.
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
