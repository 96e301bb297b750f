#pragma once

#include "foundation/Identity.h"
#include "foundation/Ipv4_Address.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <span>

// PROFINET DCP (Discovery and basic Configuration Protocol) frames on raw
// Ethernet, EtherType 0x8892: building the requests the configurator sends,
// reading the answers it gets, and the few pieces the simulated device shares.
// Every reader checks each length against what is really there and refuses a
// short, cut or lying frame without reading past its end.
namespace Dcp {

using Mac_Address = std::array<quint8, 6>;
using Bytes = std::span<const quint8>;

constexpr quint16 Ether_Type = 0x8892;
constexpr quint16 Vlan_Ether_Type = 0x8100;
constexpr Mac_Address Identify_Multicast{0x01, 0x0E, 0xCF, 0x00, 0x00, 0x00};
constexpr int Min_Frame_Size = 60; // without the frame check sequence

enum Frame_Id : quint16 {
    Frame_Get_Set = 0xFEFD,
    Frame_Identify_Request = 0xFEFE,
    Frame_Identify_Response = 0xFEFF,
};
enum Service_Id : quint8 { Service_Get = 3, Service_Set = 4, Service_Identify = 5 };
enum Service_Type : quint8 { Type_Request = 0, Type_Response_Success = 1, Type_Response_Not_Supported = 5 };

// Options and suboptions of the blocks used here.
enum Option : quint8 { Option_Ip = 1, Option_Device = 2, Option_Control = 5, Option_All = 0xFF };
enum Suboption : quint8 {
    Ip_Mac = 1,
    Ip_Parameter = 2,
    Device_Vendor = 1,
    Device_Name_Of_Station = 2,
    Device_Id = 3,
    Device_Role = 4,
    Device_Options = 5,
    Control_Start = 1,
    Control_Stop = 2,
    Control_Signal = 3,
    Control_Response = 4,
    All_Selector = 0xFF,
};

// The state the IP parameter's BlockInfo reports.
enum class Ip_State : quint8 { Not_Set = 0, Set = 1, Set_By_Dhcp = 2 };
constexpr quint16 Ip_Info_Conflict = 0x0080;

// The longest texts a device may send: a station name of 240 octets, a
// vendor text of 255. An answer with a longer one is refused, so that what
// one device costs to keep is bounded.
constexpr qsizetype Max_Name_Bytes = 240;
constexpr qsizetype Max_Vendor_Bytes = 255;

QString Mac_Text(const Mac_Address& Mac);             // "aa:bb:cc:dd:ee:ff"
std::optional<Mac_Address> Parse_Mac(const QString& Text); // six hex pairs, ':' or '-' between

// Why Mac is no single device's, or nothing when it may be one: a group
// (multicast) address, the broadcast address, all zeros, or Own, this
// station's own. Such a MAC is never a target, and an answer from it is
// no device's answer.
std::optional<QString> Not_A_Device_Mac(const Mac_Address& Mac, const Mac_Address& Own);

struct Ip_Suite {
    Ipv4_Address Address;
    Ipv4_Address Mask;
    Ipv4_Address Gateway;
    friend bool operator==(const Ip_Suite&, const Ip_Suite&) = default;
};

// What one device said in its Identify response; a field it did not send stays empty.
struct Device_Record {
    Mac_Address Mac{};
    std::optional<QString> Name;
    std::optional<Ip_Suite> Ip;
    quint16 Ip_Block_Info = 0;
    std::optional<QString> Vendor;
    std::optional<quint16> Vendor_Id;
    std::optional<quint16> Device_Id;
    std::optional<quint8> Role;
    QList<std::pair<quint8, quint8>> Options;

    Ip_State Ip_Setting() const { return static_cast<Ip_State>(Ip_Block_Info & 0x3); }
    bool Ip_Conflict() const { return (Ip_Block_Info & Ip_Info_Conflict) != 0; }
    // A gateway of this configurator's type (vendor and device identity).
    bool Is_Gateway() const { return Vendor_Id == Identity::Vendor_ID && Device_Id == Identity::Device_ID; }
};

// The Ethernet and DCP header of a received frame, its blocks still unread.
struct Frame {
    Mac_Address Destination{};
    Mac_Address Source{};
    quint16 Frame_Id = 0;
    quint8 Service_Id = 0;
    quint8 Service_Type = 0;
    quint32 Xid = 0;
    quint16 Response_Delay = 0; // the Identify request's factor; reserved elsewhere
    Bytes Blocks;               // exactly DCPDataLength bytes
};

struct Block {
    quint8 Option = 0;
    quint8 Suboption = 0;
    Bytes Value; // DCPBlockLength bytes, the padding not included
};

// Reads the Ethernet header (a VLAN tag tolerated) and the DCP header; the
// reason when the frame is not DCP or its lengths do not hold.
std::expected<Frame, QString> Read_Frame(Bytes Data);
// Splits the blocks; each is padded to an even length, the pad not counted.
std::expected<QList<Block>, QString> Read_Blocks(Bytes Data);

// Requests the configurator sends. Each frame is padded to 60 bytes.
QByteArray Identify_All_Request(const Mac_Address& Source, quint32 Xid, quint16 Response_Delay);
QByteArray Identify_Name_Request(const Mac_Address& Source, quint32 Xid, quint16 Response_Delay,
                                 const QByteArray& Name);
QByteArray Set_Name_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid,
                            const QByteArray& Name, bool Permanent);
QByteArray Set_Ip_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid, const Ip_Suite& Ip,
                          bool Permanent);
QByteArray Signal_Request(const Mac_Address& Source, const Mac_Address& Target, quint32 Xid);

// Whether the frame is meant as an answer of this kind (Frame_Identify_Response
// or Frame_Get_Set) to the request Xid sent by Own, whether or not the rest
// of it can be read: what is not is another station's traffic.
bool Is_Answer_To(Bytes Data, quint16 Frame_Id, const Mac_Address& Own, quint32 Xid);

// Reads an Identify response sent to Own with this Xid; the reason when it is
// not one or cannot be read.
std::expected<Device_Record, QString> Read_Identify_Response(Bytes Data, const Mac_Address& Own, quint32 Xid);

// One Control/Response block of a Set response: which block it answers and how.
struct Set_Result {
    quint8 Option = 0;
    quint8 Suboption = 0;
    quint8 Error = 0; // 0: done
};
struct Set_Response {
    Mac_Address Source{};
    QList<Set_Result> Results;
    // The device answered "service not supported" without any block.
    bool Service_Not_Supported = false;
    // The first error among the results, 0 when every block was done.
    quint8 First_Error() const;
    // The result for exactly this block, when the answer holds one.
    std::optional<Set_Result> Result_For(quint8 Option, quint8 Suboption) const;
};
std::expected<Set_Response, QString> Read_Set_Response(Bytes Data, const Mac_Address& Own, quint32 Xid);

// Pieces both sides build with.
void Put_Ethernet_Header(QByteArray& Frame, const Mac_Address& Destination, const Mac_Address& Source);
// The Ethernet and DCP header of a successful response to Xid, DCPDataLength
// left for Finish_Frame.
QByteArray Response_Header(const Mac_Address& To, const Mac_Address& From, quint16 Frame_Id, quint8 Service, quint32 Xid);
void Put_U16(QByteArray& Frame, quint16 Value);
void Put_U32(QByteArray& Frame, quint32 Value);
// Appends a block with its header, and a pad byte when Value is of odd length.
void Put_Block(QByteArray& Frame, quint8 Option, quint8 Suboption, const QByteArray& Value);
// Writes the DCPDataLength from what follows the header and pads the frame to 60 bytes.
void Finish_Frame(QByteArray& Frame);
quint16 Read_U16(Bytes Data, std::size_t At);
quint32 Read_U32(Bytes Data, std::size_t At);
inline Bytes As_Bytes(const QByteArray& Data)
{
    return {reinterpret_cast<const quint8*>(Data.constData()), static_cast<std::size_t>(Data.size())};
}

} // namespace Dcp
