#include "image/Image_Model.h"

quint16 Par_Block::U16(quint32 Offset) const
{
    return static_cast<quint16>(Bytes[Offset] | (Bytes[Offset + 1] << 8));
}

quint32 Par_Block::U32(quint32 Offset) const
{
    return static_cast<quint32>(Bytes[Offset]) | (static_cast<quint32>(Bytes[Offset + 1]) << 8)
           | (static_cast<quint32>(Bytes[Offset + 2]) << 16) | (static_cast<quint32>(Bytes[Offset + 3]) << 24);
}

void Par_Block::Set_U16(quint32 Offset, quint16 Value)
{
    Bytes[Offset] = static_cast<quint8>(Value);
    Bytes[Offset + 1] = static_cast<quint8>(Value >> 8);
}

void Par_Block::Set_U32(quint32 Offset, quint32 Value)
{
    for (quint32 I = 0; I < 4; ++I)
        Bytes[Offset + I] = static_cast<quint8>(Value >> (8 * I));
}
