// The data area of bank 2, the compile driver and the two bank files.
#include "image/Configuration_Image.h"

#include "foundation/Workspace.h"
#include "image/Image_Texts.h"
#include "project/Configuration.h"
#include "platform/Xml_File.h"
#include "platform/Errno_Text.h"

#include <QDir>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QLockFile>
#include <QThread>

#include <cerrno>

#include <bit>
#include <cstring>
#include <optional>
#include <span>
#include <stdexcept>

namespace {

void Put_U16(QByteArray& Buffer, quint32 Position, quint16 Value)
{
    Buffer[Position] = static_cast<char>(Value & 0xFF);
    Buffer[Position + 1] = static_cast<char>(Value >> 8);
}

void Put_U32(QByteArray& Buffer, quint32 Position, quint32 Value)
{
    for (quint32 I = 0; I < 4; ++I)
        Buffer[Position + I] = static_cast<char>((Value >> (8 * I)) & 0xFF);
}

// The header stores a length without its terminating zero. A length still at
// its reset value 0 (no general parameters file) is stored as 0, never as the
// all-ones pattern the subtraction would give.
quint32 Stored_Length(quint32 Length_With_Zero) { return Length_With_Zero == 0 ? 0 : Length_With_Zero - 1; }

bool Known_Certificates_Included(const TIEC61850& Server)
{
    return Server.TLS_Enable == 1 && Server.TLS_Data.Known_Cert_En == 1;
}

// Refuses to write past the end of the buffer whatever the caller computed.
void Check_Room(const QByteArray& Buffer, quint32 Position, qsizetype Bytes)
{
    if (static_cast<quint64>(Position) + static_cast<quint64>(Bytes) > static_cast<quint64>(Buffer.size()))
        throw std::length_error("data area write beyond its buffer");
}

// What the address pass found out about a data area, for the pass that writes it.
struct Data_Area_Layout {
    quint64 Size = 0;        // bytes, counted in 64 bits so that an oversized area is recognised, not wrapped around
    quint32 Known_Count = 0; // known certificates stored: none unless the device is told to check them
};

// Gives every item of the data area its device address, for an area that
// starts at device address Base, and returns the area's layout.
Data_Area_Layout Assign_Data_Area_Addresses(TIEC61850& Server, quint32 Base)
{
    TTLS_Bank& Tls = Server.TLS_Data;
    const bool With_Known = Known_Certificates_Included(Server);
    quint64 Off = Data_Area_Header_Size;
    const auto Address = [&](quint64 Offset) { return static_cast<quint32>(Base + Offset); };
    Tls.Known_Cert_Add = Address(Off);
    if (With_Known)
        Off += quint64{Known_Cert_Entry_Size} * static_cast<quint64>(Tls.Known_Cert.size());
    Server.Var_Add = Address(Off);
    Off += quint64{Variable_Entry_Size} * static_cast<quint64>(Server.Variables.size());
    const quint64 Zero_Byte = Off;
    Off += 1;

    // An empty key or certificate points at the zero byte: a valid empty string.
    const auto Place_Text = [&](const QString& Text, quint32 Length, quint32& Add) {
        if (Text.isEmpty()) {
            Add = Address(Zero_Byte);
        } else {
            Add = Address(Off);
            Off += Length;
        }
    };
    Place_Text(Tls.key, Tls.Key_Length, Tls.key_add);
    if (Tls.Key_Password.isEmpty()) {
        Tls.Key_Password_Add = 0;
    } else {
        Tls.Key_Password_Add = Address(Off);
        Off += quint64{Utf8_Length(Tls.Key_Password)} + 1;
    }
    Place_Text(Tls.Server_Cert.Certificate, Tls.Server_Cert.Certificate_Length, Tls.Server_Cert.Certificate_Add);
    Place_Text(Tls.Root_Cert.Certificate, Tls.Root_Cert.Certificate_Length, Tls.Root_Cert.Certificate_Add);
    if (Server.Password.isEmpty()) {
        Server.Password_Add = 0;
    } else {
        Server.Password_Add = Address(Off);
        Off += static_cast<quint64>(Server.Password.size()) + 1;
    }
    // An empty known certificate or name points where the next string begins.
    if (With_Known) {
        for (TTLS_Certificate& Cert : Tls.Known_Cert) {
            Cert.Certificate_Add = Address(Off);
            if (!Cert.Certificate.isEmpty())
                Off += Cert.Certificate_Length;
        }
    }
    for (TIEC61850_Var& Var : Server.Variables) {
        Var.Name_Add = Address(Off);
        if (!Var.Name.isEmpty())
            Off += static_cast<quint64>(Var.Name.size()) + 1;
    }
    return {Off, With_Known ? static_cast<quint32>(Tls.Known_Cert.size()) : 0};
}

// Writes the data area into Buffer from Position, at the addresses already
// assigned; returns the position after it.
quint32 Write_Data_Area(const TIEC61850& Server, const Data_Area_Layout& Layout, quint32 Position, QByteArray& Buffer)
{
    const TTLS_Bank& Tls = Server.TLS_Data;
    const std::span<const TTLS_Certificate> Known(Tls.Known_Cert.constData(), Layout.Known_Count);
    quint32 P = Position;
    Put_U16(Buffer, P + 0, Server.port);
    Put_U32(Buffer, P + 2, Server.TLS_Enable);
    Put_U32(Buffer, P + 6, Tls.key_add);
    Put_U32(Buffer, P + 10, Stored_Length(Tls.Key_Length));
    Put_U32(Buffer, P + 14, Tls.Key_Password_Add);
    Put_U32(Buffer, P + 18, Tls.Server_Cert.Certificate_Add);
    Put_U32(Buffer, P + 22, Stored_Length(Tls.Server_Cert.Certificate_Length));
    Put_U32(Buffer, P + 26, Tls.Root_Cert.Certificate_Add);
    Put_U32(Buffer, P + 30, Stored_Length(Tls.Root_Cert.Certificate_Length));
    Put_U32(Buffer, P + 34, Layout.Known_Count);
    Put_U32(Buffer, P + 38, Tls.Known_Cert_Add);
    Put_U32(Buffer, P + 42, Server.Password_Add);
    Put_U32(Buffer, P + 46, static_cast<quint32>(Server.Variables.size()));
    Put_U32(Buffer, P + 50, Server.Var_Add);
    P += Data_Area_Header_Size;

    for (const TTLS_Certificate& Cert : Known) {
        Put_U32(Buffer, P, Cert.Certificate_Add);
        Put_U32(Buffer, P + 4, Stored_Length(Cert.Certificate_Length));
        P += Known_Cert_Entry_Size;
    }
    for (const TIEC61850_Var& Var : Server.Variables) {
        Put_U32(Buffer, P + 0, Var.Name_Add);
        Put_U32(Buffer, P + 4, Var.Data_Type);
        Put_U32(Buffer, P + 8, Var.Position);
        Put_U32(Buffer, P + 12, Var.Start_Bit);
        Put_U32(Buffer, P + 16, Var.Length);
        Put_U32(Buffer, P + 20, Var.Read_Only);
        Put_U32(Buffer, P + 24, std::bit_cast<quint32>(Var.Multiplication_Factor));
        Put_U16(Buffer, P + 28, Var.Operation);
        Put_U16(Buffer, P + 30, Var.Options);
        P += Variable_Entry_Size;
    }
    Buffer[P++] = '\0';

    P = Configuration_Image::Write_UTF8_String(Tls.key, P, Buffer);
    P = Configuration_Image::Write_UTF8_String(Tls.Key_Password, P, Buffer);
    P = Configuration_Image::Write_UTF8_String(Tls.Server_Cert.Certificate, P, Buffer);
    P = Configuration_Image::Write_UTF8_String(Tls.Root_Cert.Certificate, P, Buffer);
    P = Configuration_Image::Write_Byte_String(Server.Password, P, Buffer);
    for (const TTLS_Certificate& Cert : Known)
        P = Configuration_Image::Write_UTF8_String(Cert.Certificate, P, Buffer);
    for (const TIEC61850_Var& Var : Server.Variables)
        P = Configuration_Image::Write_Byte_String(Var.Name, P, Buffer);
    return P;
}

} // namespace

quint32 Configuration_Image::Write_UTF8_String(const QString& Text, quint32 Position, QByteArray& Buffer)
{
    if (Text.isEmpty())
        return Position;
    const QByteArray Bytes = Text.toUtf8();
    Check_Room(Buffer, Position, Bytes.size() + 1);
    std::memcpy(Buffer.data() + Position, Bytes.constData(), static_cast<size_t>(Bytes.size()));
    Position += static_cast<quint32>(Bytes.size());
    Buffer[Position] = '\0';
    return Position + 1;
}

quint32 Configuration_Image::Write_Byte_String(const QString& Text, quint32 Position, QByteArray& Buffer)
{
    if (Text.isEmpty())
        return Position;
    Check_Room(Buffer, Position, Text.size() + 1);
    // The device takes one byte per UTF-16 code unit: its low 8 bits.
    char* Out = Buffer.data() + Position;
    for (const QChar C : Text)
        *Out++ = static_cast<char>(C.unicode() & 0xFF);
    *Out = '\0';
    return Position + static_cast<quint32>(Text.size()) + 1;
}

std::optional<quint32> Configuration_Image::Build_Data_Area(quint32 Base, quint32 Position, QByteArray& Buffer,
                                                            quint32 Limit)
{
    const Data_Area_Layout Layout = Assign_Data_Area_Addresses(IEC61850_Image, Base);
    const quint64 End = static_cast<quint64>(Position) + Layout.Size;
    if (End > static_cast<quint64>(Limit) + 1)
        return std::nullopt;
    // The buffer ends with the area: zeros first, so that every padding byte
    // is 0 and nothing of an earlier, larger area stays behind it. Only the
    // bytes the area needs are touched, never the whole capacity.
    Buffer.resize(static_cast<qsizetype>(End));
    std::memset(Buffer.data() + Position, 0, static_cast<size_t>(End - Position));
    const quint32 Written_To = Write_Data_Area(IEC61850_Image, Layout, Position, Buffer);
    // Both passes must have counted the same bytes, or an address would point
    // at the wrong string.
    if (Written_To != End)
        throw std::logic_error("data area size differs from its address layout");
    return Written_To;
}

Configuration_Image::Compile_Result Configuration_Image::Create_Bin()
{
    // Nothing of an earlier compilation stays ready to save, also when
    // reading ends it.
    Bank1_Length = 0;
    Bank2_Length = 0;
    return Create_Bin(Read_Project_Files());
}

Configuration_Image::Compile_Result Configuration_Image::Create_Bin(const Project_Files& Files)
{
    return Compile(Files.General, Files.Variables, Files.Known_Certificates);
}

Configuration_Image::Compile_Result Configuration_Image::Create_Bin(const Configuration& Config)
{
    Bank1_Length = 0;
    Bank2_Length = 0;
    if (const std::optional<Read_Failure> Malformed = Config.First_Malformed())
        throw Xml_Parse_Error(Malformed->Reason);
    return Compile(*Config.General, *Config.Variables, *Config.Known_Certificates);
}

Configuration_Image::Compile_Result Configuration_Image::Compile(const Par_Gen::Stored& General,
                                                                 const List_File::Stored& Variables,
                                                                 const List_File::Stored& Known)
{
    // Nothing of an earlier compilation stays ready to save, also when this
    // one ends early.
    Bank1_Length = 0;
    Bank2_Length = 0;
    Default_Par_Block();
    Init_IEC61850_Image();
    Load_ParGen(General);
    Load_IEC61850_Variables(Variables);
    Load_TLS_Known_Cert(Known);
    Param_Block.Set_U32(Par_Block_Field::Data_Area_Address, Data_Area_Base);
    const std::optional<quint32> End = Build_Data_Area(Data_Area_Base, 0, Bank2_Buffer, Bank2_Last_Offset);
    if (!End)
        return Compile_Result::Too_Large;
    Bank2_Length = *End;
    Bank1_Length = Close_Par_Block(0, Bank1_Buffer);
    return Compile_Result::Compiled;
}

namespace {

// The bin folder of a configuration, made when it is missing (removed by
// hand); a link in its place would take the banks elsewhere.
std::expected<QString, Write_Error> Bin_Folder(const QString& Project_Dir)
{
    const QString Bin_Dir = Workspace::Join(Project_Dir, QStringLiteral("bin"));
    if (const auto Checked = Refuse_Link(Bin_Dir); !Checked)
        return std::unexpected(Checked.error());
    const QFileInfo Info(Bin_Dir);
    if (!Info.exists() && QFileInfo(Project_Dir).isDir())
        QDir(Project_Dir).mkdir(QStringLiteral("bin"));
    else if (Info.exists() && !Info.isDir())
        // What writing the first bank there would report.
        return std::unexpected(
            Write_Error{Workspace::Join(Bin_Dir, QStringLiteral("bank1.bin")), Errno_Text(ENOTDIR)});
    return Bin_Dir;
}

Compile_Failure Banks_Not_Written(const Workspace& Space, const Write_Error& Error)
{
    return Compile_Failure{Compile_Failure::Kind::Not_Written,
                           Space.Str(Image_Text::Banks_Not_Written) + Space.Write_Failure_Text(Error)};
}

// The system's reason why the lock file cannot be made (a full disk, a
// folder without write permission), which QLockFile does not pass on: the
// same file made by hand tells it. Nothing when a file can be made there.
std::optional<QString> Lock_Folder_Refusal(const QString& Path)
{
    const QString Probe = Path + QStringLiteral(".probe");
    const auto Written = Write_File_Atomic(Probe, QByteArray(256, '0'));  // about a lock file's size
    QFile::remove(Probe);
    if (!Written && !Written.error().Refused_Link())
        return Written.error().System_Text;
    return std::nullopt;
}

} // namespace

std::expected<void, Write_Error> Configuration_Image::Save_Bin()
{
    if (Project.Project_Dir.isEmpty() || Bank1_Length != Par_Block::Size)
        return std::unexpected(Write_Error{Project.Project_Dir, QStringLiteral("no compiled configuration")});
    if (const auto Bin = Bin_Folder(Project.Project_Dir); !Bin)
        return std::unexpected(Bin.error());

    // Both files are completed before either replaces its old version, and
    // the first gets its old version back when the second cannot replace
    // its own: the folder holds the old pair or the new one.
    return Write_Files_Atomic({{Bank1_Path(), Bank1_Buffer.left(Bank1_Length)},
                               {Bank2_Path(), Bank2_Buffer.left(Bank2_Length)}});
}

QString Compile_Lock_Path(const QString& Project_Dir)
{
    return Workspace::Join(Workspace::Join(Project_Dir, QStringLiteral("bin")), QStringLiteral(".compile.lock"));
}

Compile_Lock::Compile_Lock(std::unique_ptr<QLockFile> Held_) : Held(std::move(Held_)) {}
Compile_Lock::Compile_Lock(Compile_Lock&&) noexcept = default;
Compile_Lock& Compile_Lock::operator=(Compile_Lock&&) noexcept = default;
Compile_Lock::~Compile_Lock() = default;

std::expected<Compile_Lock, Compile_Failure> Lock_Compiles(const Workspace& Space, int Wait_Ms)
{
    if (const auto Bin = Bin_Folder(Space.Project_Dir); !Bin)
        return std::unexpected(Banks_Not_Written(Space, Bin.error()));
    const QString Path = Compile_Lock_Path(Space.Project_Dir);
    auto Lock = std::make_unique<QLockFile>(Path);
    // A compile that takes long is still running; only a lock whose process
    // has ended is taken over.
    Lock->setStaleLockTime(0);
    const QDeadlineTimer Deadline(Wait_Ms);
    // Between two holders the lock file can for a moment be neither made nor
    // read (on Windows a file being removed cannot be opened): a failure in
    // a folder where a file can be made is tried again, a few times.
    constexpr int Passing_Failures = 50;
    for (int Failure = 0;; ++Failure) {
        if (Lock->tryLock(int(Deadline.remainingTime())))
            return Compile_Lock(std::move(Lock));
        qint64 Holder = 0;
        if (Lock->error() == QLockFile::LockFailedError && Lock->getLockInfo(&Holder, nullptr, nullptr))
            return std::unexpected(
                Compile_Failure{Compile_Failure::Kind::Busy, Space.Str(Image_Text::Compile_Busy).arg(Holder)});
        if (const auto Refusal = Lock_Folder_Refusal(Path))
            return std::unexpected(Banks_Not_Written(Space, Write_Error{Path, *Refusal}));
        if (Failure == Passing_Failures)
            return std::unexpected(Banks_Not_Written(
                Space, Write_Error{Path, Errno_Text(Lock->error() == QLockFile::PermissionError ? EACCES : EIO)}));
        QThread::msleep(10);
    }
}

std::expected<void, Compile_Failure> Compile_And_Save_Banks(Configuration_Image& Image, const Configuration& Config,
                                                           const Compile_Lock&, const Workspace& Space)
{
    try {
        if (Image.Create_Bin(Config) == Configuration_Image::Compile_Result::Too_Large)
            return std::unexpected(Compile_Failure{Compile_Failure::Kind::Too_Large, Space.Str(Image_Text::Too_Large)});
    } catch (const Xml_Parse_Error& Error) {
        return std::unexpected(Compile_Failure{Compile_Failure::Kind::Not_Well_Formed, Error.Message()});
    }
    if (const auto Saved = Image.Save_Bin(); !Saved)
        return std::unexpected(Banks_Not_Written(Space, Saved.error()));
    return {};
}

std::expected<void, Compile_Failure> Compile_And_Save_Banks(Configuration_Image& Image, const Workspace& Space,
                                                           int Wait_Ms)
{
    const auto Lock = Lock_Compiles(Space, Wait_Ms);
    if (!Lock)
        return std::unexpected(Lock.error());
    // Read under the lock: what is compiled is what the files hold now. The
    // window's configuration may have no file yet: its defaults are compiled.
    const auto Config = Read_Configuration(Space);
    if (!Config)
        return std::unexpected(Compile_Failure{Compile_Failure::Kind::Not_Well_Formed, Config.error().Text()});
    return Compile_And_Save_Banks(Image, *Config, *Lock, Space);
}
