#include "gateway_simulator/Boot_Loader.h"

using namespace Update_Protocol;

namespace {

QString Hex(quint32 Value)
{
    return QStringLiteral("0x%1").arg(Value, 8, 16, QChar('0'));
}

} // namespace

Boot_Loader::Boot_Loader(Hooks H, int Drop_Every_)
    : Tell(std::move(H)), Drop_Every(Drop_Every_), Memory(Memory_Size, '\xFF'), Stored(Memory_Size)
{
}

std::optional<Packet> Boot_Loader::Handle(const Packet& Request)
{
    if (Request.Command & Reply_Bit)
        return std::nullopt;
    Packet Reply;
    Reply.Command = Request.Command | Reply_Bit;
    Reply.Session = Request.Session;
    Reply.Sequence = Request.Sequence;
    Reply.Address = Request.Address;
    switch (static_cast<Command>(Request.Command)) {
    case Command::Begin: Reply.State = Begin(Request); break;
    case Command::Write:
        if (Drop_Every > 0 && ++Writes_Seen % Drop_Every == 0) {
            Tell.Say(QStringLiteral("DROP block %1 at 0x%2").arg(Request.Sequence).arg(Request.Address, 0, 16));
            return std::nullopt;
        }
        Reply.State = Write(Request);
        break;
    case Command::End: Reply.State = End(Request); break;
    case Command::Read: Reply.State = Read(Request, Reply.Payload); break;
    case Command::Go_To_App: Started = true; break;
    default: Reply.State = Status::Bad_Request; break;
    }
    return Reply;
}

qsizetype Boot_Loader::Find(quint32 Session) const
{
    for (qsizetype I = 0; I < Open.size(); ++I)
        if (Open[I].Session == Session)
            return I;
    return -1;
}

Status Boot_Loader::Begin(const Packet& P)
{
    if (P.Payload.size() < 7)
        return Status::Bad_Request;
    const quint32 Size = Get_U32(P.Payload, 0);
    if (Size == 0 || quint64(P.Address) + Size > Memory_Size)
        return Status::Out_Of_Range;
    const qsizetype Known = Find(P.Session);
    // A repeated Begin (its answer got lost) must not wipe what came since.
    if (Known >= 0 && Open[Known].Start == P.Address)
        return Status::Ok;
    if (Known >= 0)
        Open.removeAt(Known);
    if (Open.size() >= Max_Open_Transfers) {
        const Transfer& Oldest = Open.first();
        Tell.Say(QStringLiteral("FORGET session %1 at %2: %3 transfers open")
                     .arg(Hex(Oldest.Session), Hex(Oldest.Start))
                     .arg(Max_Open_Transfers));
        Open.removeFirst();
    }
    Transfer T;
    T.Session = P.Session;
    T.Start = P.Address;
    T.Data = QByteArray(static_cast<qsizetype>(Size), '\xFF');
    T.Written = QBitArray(static_cast<qsizetype>(Size));
    Open.append(std::move(T));
    return Status::Ok;
}

Status Boot_Loader::Write(const Packet& P)
{
    const qsizetype At = Find(P.Session);
    if (At < 0)
        return Status::Unknown_Session;
    Transfer& T = Open[At];
    if (P.Address < T.Start || quint64(P.Address - T.Start) + P.Payload.size() > quint64(T.Data.size()))
        return Status::Out_Of_Range;
    const qsizetype Offset = P.Address - T.Start;
    T.Data.replace(Offset, P.Payload.size(), P.Payload);
    T.Written.fill(true, Offset, Offset + P.Payload.size());
    return Status::Ok;
}

Status Boot_Loader::End(const Packet& P)
{
    const qsizetype At = Find(P.Session);
    if (At < 0)
        // Its answer was lost and the image is already stored.
        return Stored_Sessions.contains(P.Session) ? Status::Ok : Status::Unknown_Session;
    if (P.Payload.size() < 8)
        return Status::Bad_Request;
    const Transfer& T = Open[At];
    if (Get_U32(P.Payload, 0) != quint32(T.Data.size()) || T.Written.count(true) != T.Written.size())
        return Status::Size_Mismatch;
    if (Get_U32(P.Payload, 4) != Crc32(T.Data))
        return Status::Crc_Error;
    if (!Parameter_Block_Kept(T)) {
        Tell.Say(QStringLiteral("REJECT %1 checksum").arg(Hex(T.Start)));
        Open.removeAt(At);
        return Status::Checksum_Error;
    }
    Memory.replace(T.Start, T.Data.size(), T.Data);
    Stored.fill(true, T.Start, T.Start + T.Data.size());
    Tell.Store(T.Start, T.Data);
    Tell.Say(QStringLiteral("STORED %1 %2 bytes").arg(Hex(T.Start)).arg(T.Data.size()));
    if (Stored_Sessions.size() >= Remembered_Stored)
        Stored_Sessions.removeFirst();
    Stored_Sessions.append(T.Session);
    Open.removeAt(At);
    return Status::Ok;
}

// The device must never hold a parameter block with a wrong checksum, whichever
// image brings the bytes: bank 1 itself, or a larger image that covers it.
bool Boot_Loader::Parameter_Block_Kept(const Transfer& T) const
{
    const quint64 Image_Begin = T.Start;
    const quint64 Image_End = Image_Begin + T.Data.size();
    const quint64 Block_Begin = Parameter_Block_Address;
    const quint64 Block_End = Block_Begin + Parameter_Block_Size;
    if (Image_End <= Block_Begin || Image_Begin >= Block_End)
        return true;
    if (Image_Begin == Block_Begin)
        return Parameter_Block_Checksum_Ok(T.Data); // bank 1: exactly the block
    // The block as the device would hold it once this image is stored.
    QByteArray Block = Memory.mid(Block_Begin, Parameter_Block_Size);
    const quint64 From = qMax(Image_Begin, Block_Begin);
    const quint64 To = qMin(Image_End, Block_End);
    Block.replace(From - Block_Begin, To - From, T.Data.mid(From - Image_Begin, To - From));
    return Parameter_Block_Checksum_Ok(Block);
}

Status Boot_Loader::Read(const Packet& P, QByteArray& Out) const
{
    if (P.Payload.size() < 2)
        return Status::Bad_Request;
    const int Length = qMin<int>(Get_U16(P.Payload, 0), Block_Size);
    if (quint64(P.Address) + Length > Memory_Size)
        return Status::Out_Of_Range;
    for (qsizetype I = P.Address; I < qsizetype(P.Address) + Length; ++I)
        if (!Stored.testBit(I))
            return Status::Out_Of_Range;
    Out = Memory.mid(P.Address, Length);
    return Status::Ok;
}
