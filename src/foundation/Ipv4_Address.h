#pragma once

#include <QString>
#include <QStringList>

#include <array>
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
