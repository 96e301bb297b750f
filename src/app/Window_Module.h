#pragma once

#include <QtGlobal>

// The window module's entry points, declared once here for the module that
// defines them (Window_Start.cpp) and the executable that calls them
// (Window_Library.cpp). The executable asks for the table only after the
// module's build token matched its own (Program_Module::Load_Own), so the
// table's layout and the functions' types are those of this header on both
// sides.
struct Window_Module_Entries {
    // The window and its event loop, until it closes.
    int (*Window_Main)(int argc, char* argv[]);
    // The report command (drawn offscreen).
    int (*Report_Main)(int argc, char* argv[]);
    // The commissioning command that draws its record.
    int (*Commission_Record_Main)(int argc, char* argv[]);
};

extern "C" Q_DECL_EXPORT const Window_Module_Entries* sw40610_window_entries();
inline constexpr char Window_Entries_Symbol[] = "sw40610_window_entries";
