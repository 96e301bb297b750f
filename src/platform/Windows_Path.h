#pragma once

#include <QString>

#include <optional>

// What Windows makes of a path before any file is opened. The Win32 layer
// turns a last name such as "CON", "nul.xml" or "COM1" into a device, the
// "\\.\" namespace names devices and named pipes, and a trailing dot or
// blank is dropped from the last name, so that "ParGen.xml." is another
// file's name. A "\\?\" path is taken literally: none of this applies.
enum class Windows_Path_Kind {
    Plain,          // an ordinary file name
    Device,         // a reserved device name or a "\\.\" device path
    Named_Pipe,     // "\\.\pipe\..."
    Trailing_Dot,   // the last name ends with a dot or a blank
};

Windows_Path_Kind Classify_Windows_Path(const QString& Path);

// Why a path of that kind is not a regular file's; nothing for a plain one.
std::optional<QString> Windows_Path_Problem(const QString& Path);
