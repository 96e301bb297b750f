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

bool Is_Subnet_Mask(const Ipv4_Address& Mask)
{
    const quint32 Value = Mask.Value();
    return Value != 0 && (~Value & (~Value + 1)) == 0;
}

std::optional<Ip_Suite_Rule> Broken_Ip_Suite_Rule(const Ipv4_Address& Address, const Ipv4_Address& Mask,
                                                  const Ipv4_Address& Gateway)
{
    if (!Is_Subnet_Mask(Mask))
        return Ip_Suite_Rule::Mask_Not_Contiguous;
    const quint32 A = Address.Value(), M = Mask.Value(), G = Gateway.Value();
    const quint8 First = Address.Bytes[0];
    if (First == 0)
        return Ip_Suite_Rule::This_Network;
    if (First == 127)
        return Ip_Suite_Rule::Loopback;
    if (First >= 224 && First <= 239)
        return Ip_Suite_Rule::Multicast;
    if (A == 0xFFFFFFFFU)
        return Ip_Suite_Rule::Limited_Broadcast;
    if (First >= 240)
        return Ip_Suite_Rule::Reserved;
    if ((A & ~M) == 0)
        return Ip_Suite_Rule::Network_Address;
    if ((A & ~M) == ~M)
        return Ip_Suite_Rule::Subnet_Broadcast;
    if (G == 0 || G == A)
        return std::nullopt;
    if ((G & M) != (A & M))
        return Ip_Suite_Rule::Gateway_Outside_Subnet;
    if ((G & ~M) == 0 || (G & ~M) == ~M)
        return Ip_Suite_Rule::Gateway_Not_A_Host;
    return std::nullopt;
}

std::expected<Device_Ip_Parameter, Ip_Suite_Rule> Device_Ip_Parameter::Checked(const Ipv4_Address& Address,
                                                                                const Ipv4_Address& Mask,
                                                                                const Ipv4_Address& Gateway)
{
    if (const auto Broken = Broken_Ip_Suite_Rule(Address, Mask, Gateway))
        return std::unexpected(*Broken);
    return Device_Ip_Parameter({Address, Mask, Gateway});
}

QString Ip_Suite_Rule_Text(Ip_Suite_Rule Rule)
{
    switch (Rule) {
    case Ip_Suite_Rule::Mask_Not_Contiguous: return QStringLiteral("a subnet mask is ones from the top, then zeros, and not 0.0.0.0");
    case Ip_Suite_Rule::This_Network: return QStringLiteral("an address 0.x.x.x stands for this network, no device holds it");
    case Ip_Suite_Rule::Loopback: return QStringLiteral("a loopback address 127.x.x.x is no device's");
    case Ip_Suite_Rule::Multicast: return QStringLiteral("a multicast address (224.0.0.0 to 239.255.255.255) is no device's");
    case Ip_Suite_Rule::Limited_Broadcast: return QStringLiteral("the broadcast address 255.255.255.255 is no device's");
    case Ip_Suite_Rule::Reserved: return QStringLiteral("a reserved address (240.0.0.0 to 255.255.255.254) is no device's");
    case Ip_Suite_Rule::Network_Address: return QStringLiteral("the address is the network address of its subnet");
    case Ip_Suite_Rule::Subnet_Broadcast: return QStringLiteral("the address is the broadcast address of its subnet");
    case Ip_Suite_Rule::Gateway_Outside_Subnet: return QStringLiteral("the gateway is outside the device's subnet");
    case Ip_Suite_Rule::Gateway_Not_A_Host: return QStringLiteral("the gateway is the network or broadcast address of the subnet");
    }
    return {};
}
