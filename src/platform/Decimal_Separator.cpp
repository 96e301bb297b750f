#include "platform/Decimal_Separator.h"

#include <QLocale>

QString System_Decimal_Separator::Read() { return QLocale::system().decimalPoint(); }
