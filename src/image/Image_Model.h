#pragma once

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

// The 2048-byte parameter block the gateway loads as bank 1. It is kept as
// the bytes the device reads, little-endian whatever the host, so what is
// written to bank1.bin is exactly this array.
class Par_Block {
public:
    static constexpr quint32 Size = 2048;

    quint8 U8(quint32 Offset) const { return Bytes[Offset]; }
    quint16 U16(quint32 Offset) const;
    quint32 U32(quint32 Offset) const;
    void Set_U8(quint32 Offset, quint8 Value) { Bytes[Offset] = Value; }
    void Set_U16(quint32 Offset, quint16 Value);
    void Set_U32(quint32 Offset, quint32 Value);
    void Clear() { Bytes.fill(0); }

    const quint8* Data() const { return Bytes.data(); }

private:
    std::array<quint8, Size> Bytes{};
};

// Offsets of the fields of the parameter block this tool sets; every other
// byte belongs to a reserved field that keeps its default.
namespace Par_Block_Field {
inline constexpr quint32 Pn_IP_Address = 40;   // four octets, first at the lowest offset
inline constexpr quint32 Pn_Subnet_Mask = 44;  // four octets
inline constexpr quint32 Pn_Gateway = 48;      // four octets; 255.255.255.255 = no gateway
inline constexpr quint32 Pn_Station_Name = 80; // 16 bytes: at most 15 characters and a zero
inline constexpr quint32 Pn_Station_Name_Size = 16;
inline constexpr quint32 Pn_Port = 104;           // 16-bit
inline constexpr quint32 Pn_Bytes_In = 116;       // 32-bit
inline constexpr quint32 Pn_Bytes_Out = 120;      // 32-bit
inline constexpr quint32 Pn_Diag_Address = 384;   // 32-bit: 0 = off, else address + 1
inline constexpr quint32 Data_Area_Address = 1512; // 32-bit: device address of bank 2
inline constexpr quint32 Block_Checksum = 2044;   // 32-bit: sum of bytes 0..2043
} // namespace Par_Block_Field

// One certificate text and where it lies in the device's memory.
struct TTLS_Certificate {
    QString Certificate;
    quint32 Certificate_Add = 0;
    quint32 Certificate_Length = 0; // UTF-8 byte count + 1
};

// TLS material of the IEC 61850 server.
struct TTLS_Bank {
    QString key;
    quint32 key_add = 0;
    quint32 Key_Length = 0; // UTF-8 byte count + 1
    QString Key_Password;
    quint32 Key_Password_Add = 0;
    TTLS_Certificate Server_Cert;
    TTLS_Certificate Root_Cert;
    quint32 Known_Cert_En = 0;
    quint32 Known_Cert_Num = 0;
    quint32 Known_Cert_Add = 0;
    QList<TTLS_Certificate> Known_Cert;
};

// One published variable.
struct TIEC61850_Var {
    QString Name;
    quint32 Name_Add = 0;
    quint32 Data_Type = 0; // 2 digital, 4 integer, 6 float
    quint32 Position = 0;
    quint32 Start_Bit = 0;
    quint32 Length = 0;
    quint32 Read_Only = 0;
    float Multiplication_Factor = 0.0F;
    quint16 Operation = 0; // 0 none, 1 integer to float, 2 float to integer
    quint16 Options = 0;   // bit 0 swap bytes, bit 1 swap words
};

// The IEC 61850 server: the source of bank 2.
struct TIEC61850 {
    quint16 port = 102;
    quint32 TLS_Enable = 0;
    TTLS_Bank TLS_Data;
    QString Password;
    quint32 Password_Add = 0;
    quint32 Var_Number = 0;
    quint32 Var_Add = 0;
    QList<TIEC61850_Var> Variables;
};

// The device address at which bank 2 is loaded, and the bank's capacity.
inline constexpr quint32 Data_Area_Base = 0x80000;
inline constexpr quint32 Bank2_Capacity = 0x80000;
inline constexpr quint32 Bank2_Last_Offset = Bank2_Capacity - 1;
inline constexpr quint32 Data_Area_Header_Size = 54;
inline constexpr quint32 Known_Cert_Entry_Size = 8;
inline constexpr quint32 Variable_Entry_Size = 32;
