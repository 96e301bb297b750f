#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <expected>
#include <optional>

// The one IPv4 rule of the program: four decimal numbers from 0 to 255, each
// of one to three digits, separated by dots; nothing else (no blanks, signs,
// hexadecimal or octal spellings, no host names). Only an address that passes
// may reach an echo request, a parameter file or a network frame, so no text
// of the user's is ever handed to the name resolver.
struct Ipv4_Address {
    std::array<quint8, 4> Bytes{};

    // The plain dotted form: "127.000.0.01" is written back as "127.0.0.1".
    QString Text() const;
    // The address as a number, most significant byte first.
    quint32 Value() const;
    static Ipv4_Address From_Value(quint32 Value);
    friend bool operator==(const Ipv4_Address&, const Ipv4_Address&) = default;
};

// The whole text as one address, or nothing.
std::optional<Ipv4_Address> Parse_Ipv4(const QString& Text);

// The four parts typed into four fields: the index of the first part that is
// not a number of one to three digits from 0 to 255 (a missing part counts as
// bad), or nothing when the four make an address.
std::optional<int> First_Bad_Ipv4_Part(const QStringList& Parts);
// The address the four parts make, when they do.
std::optional<Ipv4_Address> Ipv4_From_Parts(const QStringList& Parts);

// The rules an IP parameter (address, subnet mask, gateway) must keep to be
// given to a device, in the order they are checked. The gateway 0.0.0.0
// means none; a gateway equal to the address is the device's own way of
// saying the same.
enum class Ip_Suite_Rule {
    Mask_Not_Contiguous,     // the mask is ones from the top, then zeros, and not 0.0.0.0
    This_Network,            // the address is not 0.x.x.x
    Loopback,                // the address is not 127.x.x.x
    Multicast,               // the address is not 224.0.0.0 to 239.255.255.255
    Limited_Broadcast,       // the address is not 255.255.255.255
    Reserved,                // the address is not 240.0.0.0 to 255.255.255.254
    Network_Address,         // the address is not its subnet's network address (host part all zeros)
    Subnet_Broadcast,        // the address is not its subnet's broadcast address (host part all ones)
    Gateway_Outside_Subnet,  // the gateway is in the address's subnet
    Gateway_Not_A_Host,      // the gateway is not the subnet's network or broadcast address
};

// A subnet mask: ones from the top, then zeros, at least one of them a one.
bool Is_Subnet_Mask(const Ipv4_Address& Mask);

// The first rule the three break, or nothing when a device may hold them.
std::optional<Ip_Suite_Rule> Broken_Ip_Suite_Rule(const Ipv4_Address& Address, const Ipv4_Address& Mask,
                                                  const Ipv4_Address& Gateway);

// An IP parameter a device may hold. One is made only through Checked, so
// whoever is handed one never checks it again.
class Device_Ip_Parameter {
public:
    static std::expected<Device_Ip_Parameter, Ip_Suite_Rule> Checked(const Ipv4_Address& Address, const Ipv4_Address& Mask,
                                                                      const Ipv4_Address& Gateway);
    const Ipv4_Address& Address() const { return Held[0]; }
    const Ipv4_Address& Mask() const { return Held[1]; }
    const Ipv4_Address& Gateway() const { return Held[2]; }

private:
    explicit Device_Ip_Parameter(const std::array<Ipv4_Address, 3>& Values) : Held(Values) {}
    std::array<Ipv4_Address, 3> Held;
};

// The string-table slot of the rule in a sentence, in the chosen language.
constexpr int First_Ip_Suite_Rule_Slot = 757;
constexpr int Ip_Suite_Rule_Slot(Ip_Suite_Rule Rule) { return First_Ip_Suite_Rule_Slot + static_cast<int>(Rule); }

// The rule in a sentence, in English (for the command line).
QString Ip_Suite_Rule_Text(Ip_Suite_Rule Rule);
