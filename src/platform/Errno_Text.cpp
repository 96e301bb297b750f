#include "platform/Errno_Text.h"

#include <cstring>

QString Errno_Text(int Code) { return QString::fromLocal8Bit(std::strerror(Code)); }
