#include "image/Configuration_Image.h"

#include "platform/Decimal_Separator.h"
#include "foundation/Workspace.h"

#include <cstring>

namespace {

// Fields of the parameter block whose default is not 0, reserved ones
// included: the device reads them, so they must hold these values although
// this tool never sets them from a project.
struct Default_Field {
    quint32 Offset;
    quint32 Width; // 1, 2 or 4 bytes
    quint32 Value;
};

constexpr Default_Field Non_Zero_Defaults[] = {
    {0, 4, 250000},
    {4, 4, 250000},
    {12, 4, 9600},
    {Par_Block_Field::Pn_IP_Address + 0, 1, 192},
    {Par_Block_Field::Pn_IP_Address + 1, 1, 168},
    {Par_Block_Field::Pn_IP_Address + 2, 1, 2},
    {Par_Block_Field::Pn_IP_Address + 3, 1, 205},
    {Par_Block_Field::Pn_Subnet_Mask + 0, 1, 255},
    {Par_Block_Field::Pn_Subnet_Mask + 1, 1, 255},
    {Par_Block_Field::Pn_Subnet_Mask + 2, 1, 255},
    {Par_Block_Field::Pn_Subnet_Mask + 3, 1, 0},
    {Par_Block_Field::Pn_Gateway + 0, 1, 255},
    {Par_Block_Field::Pn_Gateway + 1, 1, 255},
    {Par_Block_Field::Pn_Gateway + 2, 1, 255},
    {Par_Block_Field::Pn_Gateway + 3, 1, 255},
    {52, 2, 10000},
    {54, 2, 10001},
    {56, 2, 10001},
    {436, 1, 8},
    {437, 1, 8},
    {438, 1, 8},
    {439, 1, 8},
    {440, 1, 8},
    {441, 1, 8},
    {442, 1, 8},
    {443, 1, 8},
};

} // namespace

Configuration_Image::Configuration_Image(const Active_Project& Project, Decimal_Separator* Separator)
    : Bank1_Buffer(Par_Block::Size, '\0'), Project(Project),
      System_Separator(Separator ? nullptr : std::make_unique<System_Decimal_Separator>()),
      Separator(Separator ? *Separator : *System_Separator)
{
}

Configuration_Image::~Configuration_Image() = default;

void Configuration_Image::Default_Par_Block()
{
    // Every other field, and every padding byte, defaults to 0.
    Param_Block.Clear();
    for (const Default_Field& Field : Non_Zero_Defaults) {
        switch (Field.Width) {
        case 1: Param_Block.Set_U8(Field.Offset, static_cast<quint8>(Field.Value)); break;
        case 2: Param_Block.Set_U16(Field.Offset, static_cast<quint16>(Field.Value)); break;
        default: Param_Block.Set_U32(Field.Offset, Field.Value); break;
        }
    }
}

void Configuration_Image::Init_IEC61850_Image() { IEC61850_Image = TIEC61850{}; }

quint32 Configuration_Image::Close_Par_Block(quint32 Position, QByteArray& Destination)
{
    quint32 Sum = 0;
    for (quint32 I = 0; I < Par_Block_Field::Block_Checksum; ++I)
        Sum += Param_Block.U8(I);
    Param_Block.Set_U32(Par_Block_Field::Block_Checksum, Sum);
    if (static_cast<quint64>(Destination.size()) < static_cast<quint64>(Position) + Par_Block::Size)
        Destination.resize(static_cast<qsizetype>(Position + Par_Block::Size));
    std::memcpy(Destination.data() + Position, Param_Block.Data(), Par_Block::Size);
    return Position + Par_Block::Size;
}

QString Configuration_Image::Bank1_Path() const
{
    return Workspace::Join(Workspace::Join(Project.Project_Dir, QStringLiteral("bin")), QStringLiteral("bank1.bin"));
}

QString Configuration_Image::Bank2_Path() const
{
    return Workspace::Join(Workspace::Join(Project.Project_Dir, QStringLiteral("bin")), QStringLiteral("bank2.bin"));
}

quint32 Utf8_Length(const QString& Text) { return static_cast<quint32>(Text.toUtf8().size()); }
