#pragma once

#include <QString>

// The C library's text for a POSIX error number (ENOENT, ENOTDIR, …), the
// same on every system. Qt's qt_error_string() takes the system's own code,
// which on Windows is a Win32 error: ENOTDIR (20) there reads "Bad unit".
QString Errno_Text(int Code);
