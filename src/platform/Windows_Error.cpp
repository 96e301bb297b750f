#include "platform/Windows_Error.h"

#ifdef Q_OS_WIN
#include <windows.h>

QString Windows_Error_Text(unsigned long Code)
{
    wchar_t* Buffer = nullptr;
    const DWORD Length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                              | FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
    QString Text = Length > 0 ? QString::fromWCharArray(Buffer, static_cast<int>(Length)).trimmed() : QString();
    if (Buffer)
        ::LocalFree(Buffer);
    if (Text.isEmpty())
        Text = QStringLiteral("system error %1").arg(Code);
    return Text;
}

QString Last_Windows_Error_Text() { return Windows_Error_Text(::GetLastError()); }

#endif
