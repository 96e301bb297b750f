#include "project/List_File.h"

#include "project/Project_History.h"

#include "foundation/Text_Rules.h"
#include "platform/Xml_File.h"

#include <QFileInfo>

namespace List_File {

namespace {

const char* Row_Element = "row";

std::optional<QString> Default_Of(const Reading& How)
{
    return How.Default ? std::optional<QString>(QString::fromLatin1(How.Default)) : std::nullopt;
}

Xml_File Build(const char* Root_Name, std::span<const Attribute_Info> Attributes, const QList<QStringList>& Rows,
               int Key)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), Root_Name);
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    for (const QStringList& Row : Rows_To_Write(Rows, Key)) {
        pugi::xml_node Item = Xml_File::Add_Element(Root, Row_Element);
        for (size_t I = 0; I < Attributes.size(); ++I)
            Xml_File::Set_Attribute(Item, Attributes[I].Name, Row.value(static_cast<qsizetype>(I)));
    }
    return Xml;
}

} // namespace

Stored Read(const QString& Path, std::span<const Attribute_Info> Attributes)
{
    const std::optional<QByteArray> Data = Read_Project_File(Path);
    return Data ? From_Bytes(*Data, QFileInfo(Path).fileName(), Attributes) : Stored();
}

Stored From_Bytes(const QByteArray& Data, const QString& File_Name, std::span<const Attribute_Info> Attributes)
{
    Stored File;
    Xml_File Xml;
    QString Error;
    if (Xml.Load_Bytes(Data, File_Name, &Error) != Xml_File::Load_Status::Loaded)
        throw Xml_Parse_Error(Error);
    File.Found = true;
    File.Before_Root = Xml.Before_Root();
    Xml_Places Places(Data);
    for (pugi::xml_node Child = Xml.Root().first_child(); Child; Child = Child.next_sibling()) {
        if (Child.type() == pugi::node_pcdata && QString::fromUtf8(Child.value()).trimmed().isEmpty())
            continue;
        Stored_Row Row;
        Row.Place = Places.Of(Child);
        Row.Values.reserve(static_cast<qsizetype>(Attributes.size()));
        for (const Attribute_Info& Info : Attributes)
            Row.Values.append(Xml_File::Attribute(Child, Info.Name));
        File.Rows.append(std::move(Row));
    }
    return File;
}

QString Text(const Attribute_Info& Info, Reader Who, const std::optional<QString>& Value)
{
    const Reading& How = Info.For(Who);
    const QString Given = Value ? *Value : Default_Of(How).value_or(QString());
    switch (How.How) {
    case Rule::Text: return Given;
    case Rule::Upper_Trimmed: return Ascii_Upper(Trimmed(Given));
    case Rule::Integer: return QString::number(Integer(Info, Who, Value));
    case Rule::Exactly_Y:
    case Rule::Y_Any_Case:
    case Rule::Not_N: return Flag(Info, Who, Value) ? QStringLiteral("Y") : QStringLiteral("N");
    case Rule::Not_Read: break;
    }
    return QString();
}

qint32 Integer(const Attribute_Info& Info, Reader Who, const std::optional<QString>& Value)
{
    const qint32 Default = Read_Integer(Default_Of(Info.For(Who)).value_or(QString()), 0);
    return Value ? Read_Integer(*Value, Default) : Default;
}

bool Flag(const Attribute_Info& Info, Reader Who, const std::optional<QString>& Value)
{
    const Reading& How = Info.For(Who);
    const std::optional<QString> Given = Value ? Value : Default_Of(How);
    if (!Given)
        return false;
    switch (How.How) {
    case Rule::Exactly_Y: return *Given == QLatin1String("Y");
    case Rule::Y_Any_Case: return Ascii_Upper(Trimmed(*Given)) == QLatin1String("Y");
    case Rule::Not_N: return *Given != QLatin1String("N");
    default: return false;
    }
}

QList<QStringList> Rows_To_Write(const QList<QStringList>& Rows, int Key)
{
    QList<QStringList> Written;
    for (const QStringList& Row : Rows) {
        if (Trimmed(Row.value(Key)).isEmpty())
            break;
        Written.append(Row);
    }
    return Written;
}

QByteArray To_Bytes(const char* Root_Name, std::span<const Attribute_Info> Attributes,
                    const QList<QStringList>& Rows, int Key)
{
    return Build(Root_Name, Attributes, Rows, Key).To_Bytes();
}

std::expected<void, Write_Error> Save(const QString& Path, const char* Root_Name,
                                      std::span<const Attribute_Info> Attributes, const QList<QStringList>& Rows,
                                      int Key)
{
    if (const auto Kept = Project_History::Keep(Path); !Kept)
        return Kept;
    return Build(Root_Name, Attributes, Rows, Key).Save(Path);
}

} // namespace List_File
