#pragma once

// The UDP protocol between the stand-in updater and the gateway's boot loader
// (played here by the gateway simulator). PROTOCOL.md beside the tools
// describes it for people; this header is its one definition in code.

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace Update_Protocol {

inline constexpr char Magic[4] = {'K', 'V', 'X', 'U'};
inline constexpr quint8 Version = 1;
inline constexpr int Header_Size = 22;
// Data bytes in one write block and the most one read may ask for.
inline constexpr int Block_Size = 512;
inline constexpr quint8 Reply_Bit = 0x80;
// The parameter block (bank 1) and where its checksum sits.
inline constexpr quint32 Parameter_Block_Address = 0x07000;
inline constexpr int Parameter_Block_Size = 2048;
inline constexpr int Parameter_Block_Checksum_At = 2044;

enum class Command : quint8 { Begin = 0x01, Write = 0x02, End = 0x03, Read = 0x04, Go_To_App = 0x05 };

enum class Status : quint8 {
    Ok = 0,
    Size_Mismatch = 1,
    Crc_Error = 2,
    Checksum_Error = 3,
    Out_Of_Range = 4,
    Unknown_Session = 5,
    Bad_Request = 6,
};

struct Packet {
    quint8 Command = 0; // a Command value, with Reply_Bit set in replies
    Status State = Status::Ok;
    quint32 Session = 0;
    quint32 Sequence = 0;
    quint32 Address = 0;
    QByteArray Payload;
};

QByteArray Encode(const Packet& P);
// nullopt for anything that is not a whole packet of this protocol.
std::optional<Packet> Decode(const QByteArray& Datagram);

// Payloads
QByteArray Begin_Payload(quint32 Total_Size, quint8 Bank_Type, quint8 Memory_Type, bool Erase);
QByteArray End_Payload(quint32 Total_Size, quint32 Crc);
QByteArray Read_Payload(quint16 Length);

void Put_U16(QByteArray& Bytes, quint16 Value);
void Put_U32(QByteArray& Bytes, quint32 Value);
quint16 Get_U16(const QByteArray& Bytes, int At);
quint32 Get_U32(const QByteArray& Bytes, int At);

// CRC-32 (IEEE 802.3, as zlib computes it) of a whole image.
quint32 Crc32(const QByteArray& Bytes);
// The parameter block's own checksum: the byte sum of its first 2044 bytes.
quint32 Parameter_Block_Sum(const QByteArray& Block);
bool Parameter_Block_Checksum_Ok(const QByteArray& Block);

const char* Status_Text(Status S);

} // namespace Update_Protocol
