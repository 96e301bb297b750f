#pragma once

#include <QString>

// The system's own text for a Win32 error code (GetLastError), in the user's
// language, without the line break the system ends it with. Windows only.
QString Windows_Error_Text(unsigned long Code);
// The same for the calling thread's last error.
QString Last_Windows_Error_Text();
