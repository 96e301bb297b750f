#include "foundation/Text_Rules.h"

#include "platform/Decimal_Separator.h"

#include <QLocale>

#include <cctype>
#include <cmath>

namespace {

bool Is_Trimmed_Away(QChar C)
{
    const char16_t Code = C.unicode();
    return Code <= u' ' || (Code >= 0x7F && Code <= 0x9F);
}

} // namespace

QString Trimmed(const QString& Text)
{
    qsizetype First = 0;
    qsizetype Last = Text.size();
    while (First < Last && Is_Trimmed_Away(Text[First]))
        ++First;
    while (Last > First && Is_Trimmed_Away(Text[Last - 1]))
        --Last;
    return Text.mid(First, Last - First);
}

QString Ascii_Upper(QString Text)
{
    for (QChar& C : Text)
        if (C >= u'a' && C <= u'z')
            C = QChar(C.unicode() - u'a' + u'A');
    return Text;
}

std::optional<qint32> Read_Integer(const QString& Text)
{
    qsizetype I = 0;
    const qsizetype N = Text.size();
    while (I < N && Text[I] == QLatin1Char(' '))
        ++I;
    bool Signed = false;
    bool Negative = false;
    if (I < N && (Text[I] == QLatin1Char('+') || Text[I] == QLatin1Char('-'))) {
        Signed = true;
        Negative = Text[I] == QLatin1Char('-');
        ++I;
    }
    int Base = 10;
    if (I < N && (Text[I] == QLatin1Char('$') || Text[I] == QLatin1Char('x') || Text[I] == QLatin1Char('X'))) {
        Base = 16;
        ++I;
    } else if (I + 1 < N && Text[I] == QLatin1Char('0') && (Text[I + 1] == QLatin1Char('x') || Text[I + 1] == QLatin1Char('X'))) {
        Base = 16;
        I += 2;
    }
    if (I >= N)
        return std::nullopt;
    qint64 Value = 0;
    // Unsigned hexadecimal may spell the full 32-bit pattern ("$FFFFFFFF" is -1);
    // after a sign the digits are a magnitude within the signed range.
    const bool Pattern = Base == 16 && !Signed;
    const qint64 Limit = Pattern ? 0xFFFFFFFFLL : (Negative ? 0x80000000LL : 0x7FFFFFFFLL);
    for (; I < N; ++I) {
        const int Digit = QChar(Text[I]).isDigit() && Text[I].unicode() < 128 ? Text[I].unicode() - '0'
                          : Base == 16 && Text[I].unicode() < 128 && std::isxdigit(Text[I].unicode())
                              ? (std::tolower(Text[I].unicode()) - 'a' + 10)
                              : -1;
        if (Digit < 0 || Digit >= Base)
            return std::nullopt;
        Value = Value * Base + Digit;
        if (Value > Limit)
            return std::nullopt;
    }
    if (Pattern)
        return static_cast<qint32>(static_cast<quint32>(Value));
    return static_cast<qint32>(Negative ? -Value : Value);
}

qint32 Read_Integer(const QString& Text, qint32 Default) { return Read_Integer(Text).value_or(Default); }

Split_IP_Result Split_IP_Address(const QString& Text)
{
    Split_IP_Result Result;
    QString Rest = Trimmed(Text);
    for (int Part = 0; Part < 3; ++Part) {
        const qsizetype Dot = Rest.indexOf(QLatin1Char('.'));
        if (Dot < 0)
            return Result;
        Result.Parts[static_cast<size_t>(Part)] = Trimmed(Rest.left(Dot));
        Rest = Trimmed(Rest.mid(Dot + 1));
    }
    Result.Parts[3] = Rest;
    Result.Ok = true;
    for (const QString& Part : Result.Parts) {
        const qint32 Value = Read_Integer(Part, 1000);
        if (Value < 0 || Value > 255)
            Result.Ok = false;
    }
    return Result;
}

QChar Get_Decimal_Separator(Decimal_Separator& Source)
{
    const QString Setting = Source.Read();
    if (!Setting.isEmpty() && (Setting[0] == QLatin1Char(',') || Setting[0] == QLatin1Char('.')))
        return Setting[0];
    return QLatin1Char(',');
}

Float_Result Text_To_Float(const QString& Text, QChar Separator)
{
    QString Spelled = Text;
    if (Separator == QLatin1Char('.'))
        Spelled.replace(QLatin1Char(','), QLatin1Char('.'));
    else
        Spelled.replace(QLatin1Char('.'), QLatin1Char(','));
    // The process's number format: only the separator, no grouping.
    QLocale Format = Separator == QLatin1Char('.') ? QLocale::c() : QLocale(QLocale::German);
    Format.setNumberOptions(QLocale::RejectGroupSeparator);
    bool Ok = false;
    const double Value = Format.toDouble(Trimmed(Spelled), &Ok);
    // Stored as the nearest float, so a value just above the largest float still
    // rounds to it; from halfway to the next power of two on it would round to
    // infinity. Not-a-number and infinities are no factor a user means.
    const double Beyond = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (!Ok || !(std::fabs(Value) < Beyond))
        return {};
    return {true, static_cast<float>(Value)};
}
