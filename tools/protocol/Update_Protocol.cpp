#include "protocol/Update_Protocol.h"

#include <array>
#include <cstring>

namespace Update_Protocol {

void Put_U16(QByteArray& Bytes, quint16 Value)
{
    Bytes.append(static_cast<char>(Value & 0xFF));
    Bytes.append(static_cast<char>(Value >> 8));
}

void Put_U32(QByteArray& Bytes, quint32 Value)
{
    for (int I = 0; I < 4; ++I)
        Bytes.append(static_cast<char>((Value >> (8 * I)) & 0xFF));
}

quint16 Get_U16(const QByteArray& Bytes, int At)
{
    const auto* P = reinterpret_cast<const unsigned char*>(Bytes.constData()) + At;
    return static_cast<quint16>(P[0] | P[1] << 8);
}

quint32 Get_U32(const QByteArray& Bytes, int At)
{
    const auto* P = reinterpret_cast<const unsigned char*>(Bytes.constData()) + At;
    return static_cast<quint32>(P[0]) | static_cast<quint32>(P[1]) << 8 | static_cast<quint32>(P[2]) << 16
           | static_cast<quint32>(P[3]) << 24;
}

QByteArray Encode(const Packet& P)
{
    QByteArray Bytes(Magic, 4);
    Bytes.append(static_cast<char>(Version));
    Bytes.append(static_cast<char>(P.Command));
    Bytes.append(static_cast<char>(P.State));
    Bytes.append('\0');
    Put_U32(Bytes, P.Session);
    Put_U32(Bytes, P.Sequence);
    Put_U32(Bytes, P.Address);
    Put_U16(Bytes, static_cast<quint16>(P.Payload.size()));
    Bytes.append(P.Payload);
    return Bytes;
}

std::optional<Packet> Decode(const QByteArray& Datagram)
{
    if (Datagram.size() < Header_Size || std::memcmp(Datagram.constData(), Magic, 4) != 0
        || static_cast<quint8>(Datagram[4]) != Version)
        return std::nullopt;
    const quint16 Length = Get_U16(Datagram, 20);
    if (Datagram.size() != Header_Size + Length)
        return std::nullopt;
    Packet P;
    P.Command = static_cast<quint8>(Datagram[5]);
    P.State = static_cast<Status>(static_cast<quint8>(Datagram[6]));
    P.Session = Get_U32(Datagram, 8);
    P.Sequence = Get_U32(Datagram, 12);
    P.Address = Get_U32(Datagram, 16);
    P.Payload = Datagram.mid(Header_Size, Length);
    return P;
}

QByteArray Begin_Payload(quint32 Total_Size, quint8 Bank_Type, quint8 Memory_Type, bool Erase)
{
    QByteArray Bytes;
    Put_U32(Bytes, Total_Size);
    Bytes.append(static_cast<char>(Bank_Type));
    Bytes.append(static_cast<char>(Memory_Type));
    Bytes.append(static_cast<char>(Erase ? 1 : 0));
    return Bytes;
}

QByteArray End_Payload(quint32 Total_Size, quint32 Crc)
{
    QByteArray Bytes;
    Put_U32(Bytes, Total_Size);
    Put_U32(Bytes, Crc);
    return Bytes;
}

QByteArray Read_Payload(quint16 Length)
{
    QByteArray Bytes;
    Put_U16(Bytes, Length);
    return Bytes;
}

quint32 Crc32(const QByteArray& Bytes)
{
    static const std::array<quint32, 256> Table = [] {
        std::array<quint32, 256> T{};
        for (quint32 N = 0; N < 256; ++N) {
            quint32 C = N;
            for (int K = 0; K < 8; ++K)
                C = (C & 1) ? 0xEDB88320U ^ (C >> 1) : C >> 1;
            T[N] = C;
        }
        return T;
    }();
    quint32 Crc = 0xFFFFFFFFU;
    for (char Byte : Bytes)
        Crc = Table[(Crc ^ static_cast<quint8>(Byte)) & 0xFF] ^ (Crc >> 8);
    return Crc ^ 0xFFFFFFFFU;
}

quint32 Parameter_Block_Sum(const QByteArray& Block)
{
    quint32 Sum = 0;
    for (int I = 0; I < Parameter_Block_Checksum_At && I < Block.size(); ++I)
        Sum += static_cast<quint8>(Block[I]);
    return Sum;
}

bool Parameter_Block_Checksum_Ok(const QByteArray& Block)
{
    return Block.size() == Parameter_Block_Size
           && Parameter_Block_Sum(Block) == Get_U32(Block, Parameter_Block_Checksum_At);
}

const char* Status_Text(Status S)
{
    switch (S) {
    case Status::Ok: return "ok";
    case Status::Size_Mismatch: return "the device received a different number of bytes";
    case Status::Crc_Error: return "the device found a CRC error in the received image";
    case Status::Checksum_Error: return "the device rejected the parameter block: wrong checksum";
    case Status::Out_Of_Range: return "address out of range";
    case Status::Unknown_Session: return "the device knows no such transfer";
    case Status::Bad_Request: return "the device did not understand the request";
    }
    return "unknown status";
}

} // namespace Update_Protocol
