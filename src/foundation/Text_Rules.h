#pragma once

#include <QString>

#include <array>
#include <optional>

class Decimal_Separator;

// Blanks and control characters (U+0000..U+0020, U+007F..U+009F) removed at
// both ends; other spaces, the no-break space among them, are text and stay.
QString Trimmed(const QString& Text);
// Upper-cases the letters a..z and nothing else, whatever the language: the
// keywords the files hold are ASCII, and no other letter may turn into one.
QString Ascii_Upper(QString Text);

// Reads the whole text as a signed 32-bit integer: leading blanks skipped, an
// optional sign, then decimal digits or hexadecimal digits after "$", "x" or
// "0x" (either case). Anything else, a trailing blank included, or a value
// that does not fit 32 bits: nullopt. Unsigned hexadecimal spells the 32-bit
// pattern ("$FFFFFFFF" is -1); with a sign it is a magnitude, which must fit
// the signed range as a decimal one does ("-$80000000" is the smallest value,
// "-$80000001" and "+$FFFFFFFF" are no integer).
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
// A value beyond the largest float fails, unless it rounds to that float.
Float_Result Text_To_Float(const QString& Text, QChar Separator);
