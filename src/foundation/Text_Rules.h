#pragma once

#include <QString>

#include <array>
#include <optional>

class Decimal_Separator;

// Reads the whole text as a signed 32-bit integer: leading blanks skipped, an
// optional sign, then decimal digits or hexadecimal digits after "$", "x" or
// "0x" (either case). Anything else, a trailing blank included, or a value
// that does not fit 32 bits: nullopt.
std::optional<qint32> Read_Integer(const QString& Text);
// The same, with the caller's default for a text that is not an integer.
qint32 Read_Integer(const QString& Text, qint32 Default);

struct Split_IP_Result {
    bool Ok = false;
    std::array<QString, 4> Parts;
};
// Splits a dotted IPv4 text into its four trimmed parts; Ok only when each
// part is an integer from 0 to 255.
Split_IP_Result Split_IP_Address(const QString& Text);

// The system's decimal separator: ',' or '.', ',' when nothing or anything else is read.
QChar Get_Decimal_Separator(Decimal_Separator& Source);

struct Float_Result {
    bool Ok = false;
    float Value = 1.0F;
};
// Converts a number typed with either separator; 1.0 and false on failure.
Float_Result Text_To_Float(const QString& Text, QChar Separator);
