#include "foundation/Ipv4_Address.h"

namespace {

std::optional<quint8> Read_Part(QStringView Part)
{
    if (Part.isEmpty() || Part.size() > 3)
        return std::nullopt;
    int Value = 0;
    for (const QChar Letter : Part) {
        if (Letter < u'0' || Letter > u'9')
            return std::nullopt;
        Value = Value * 10 + (Letter.unicode() - u'0');
    }
    if (Value > 255)
        return std::nullopt;
    return static_cast<quint8>(Value);
}

} // namespace

QString Ipv4_Address::Text() const
{
    return QStringLiteral("%1.%2.%3.%4").arg(Bytes[0]).arg(Bytes[1]).arg(Bytes[2]).arg(Bytes[3]);
}

quint32 Ipv4_Address::Value() const
{
    return (quint32(Bytes[0]) << 24) | (quint32(Bytes[1]) << 16) | (quint32(Bytes[2]) << 8) | quint32(Bytes[3]);
}

Ipv4_Address Ipv4_Address::From_Value(quint32 Value)
{
    return Ipv4_Address{{quint8(Value >> 24), quint8(Value >> 16), quint8(Value >> 8), quint8(Value)}};
}

std::optional<Ipv4_Address> Parse_Ipv4(const QString& Text)
{
    const QList<QStringView> Parts = QStringView(Text).split(u'.');
    if (Parts.size() != 4)
        return std::nullopt;
    Ipv4_Address Address;
    for (int I = 0; I < 4; ++I) {
        const std::optional<quint8> Byte = Read_Part(Parts[I]);
        if (!Byte)
            return std::nullopt;
        Address.Bytes[static_cast<size_t>(I)] = *Byte;
    }
    return Address;
}

std::optional<int> First_Bad_Ipv4_Part(const QStringList& Parts)
{
    for (int I = 0; I < 4; ++I)
        if (I >= Parts.size() || !Read_Part(Parts[I]))
            return I;
    return std::nullopt;
}

std::optional<Ipv4_Address> Ipv4_From_Parts(const QStringList& Parts)
{
    if (First_Bad_Ipv4_Part(Parts) || Parts.size() != 4)
        return std::nullopt;
    return Parse_Ipv4(Parts.join(u'.'));
}
