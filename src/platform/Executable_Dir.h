#pragma once

#include <QString>

// The folder of the running executable, known before any application object
// exists (QCoreApplication::applicationDirPath needs one) and from code that
// is handed no argv. Argv0 is gone by only where the system cannot tell.
QString Executable_Dir(const char* Argv0 = nullptr);
