#include "app/Window_Library.h"

#include "Build_Token.h"
#include "app/Window_Module.h"
#include "certificates/Crypto_Module.h"
#include "foundation/Workspace.h"
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

// The string-table slots of what the executable says when the window module
// cannot be used.
namespace Slot {
constexpr int Window_Not_Started = 882;
constexpr int Report_Not_Drawn = 883;
constexpr int Record_Not_Drawn = 884;
} // namespace Slot

using Entry = int (*)(int, char**);

int Refuse(const QString& Exe_Dir, int What_Slot, const Module_Failure& Failure)
{
    // In the language the window was left in, as the commands speak; nothing
    // of the program folder is created or written.
    Workspace Space(Exe_Dir);
    Space.Read_Settings();
    Space.Init_Language();
    const QString Text = Space.Str(What_Slot).arg(Certificates::Module_Failure_Text(Failure, Space.Lang_Strings));
    std::fprintf(stderr, "sw40610: %s\n", Text.toLocal8Bit().constData());
    return EXIT_FAILURE;
}

int Run_Library_Entry(Entry Window_Module_Entries::* Which, int What_Slot, int argc, char* argv[])
{
    // Only the file beside the executable, never one of the same name found
    // elsewhere, and only one of this very build: a module left from
    // another build is refused before anything of it is called. The library
    // stays loaded until the process ends: Qt's objects may still run code
    // from it while the process shuts down.
    const QString Exe_Dir = Executable_Dir(argv[0]);
    const QString Path = QDir(Exe_Dir).filePath(QStringLiteral(SW_WINDOW_MODULE_FILE));
    const auto Window = Program_Module::Load_Own(Path, SW_BUILD_TOKEN);
    if (!Window)
        return Refuse(Exe_Dir, What_Slot, Window.error());
    const auto Entries_Of = reinterpret_cast<decltype(&sw40610_window_entries)>(Window->Resolve(Window_Entries_Symbol));
    const Window_Module_Entries* Entries = Entries_Of ? Entries_Of() : nullptr;
    if (!Entries || !(Entries->*Which))
        return Refuse(Exe_Dir, What_Slot,
                      {Module_Failure::Kind::Other_Build, QDir::toNativeSeparators(QDir::cleanPath(Path)), {}});
    return (Entries->*Which)(argc, argv);
}

} // namespace

int Run_Window_Library(int argc, char* argv[])
{
    return Run_Library_Entry(&Window_Module_Entries::Window_Main, Slot::Window_Not_Started, argc, argv);
}

int Run_Report_Library(int argc, char* argv[])
{
    return Run_Library_Entry(&Window_Module_Entries::Report_Main, Slot::Report_Not_Drawn, argc, argv);
}

int Run_Commission_Record_Library(int argc, char* argv[])
{
    return Run_Library_Entry(&Window_Module_Entries::Commission_Record_Main, Slot::Record_Not_Drawn, argc, argv);
}
