#include "platform/Xml_File.h"

#include "platform/File_Write.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr unsigned Parse_Options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi
                                   | pugi::parse_declaration | pugi::parse_doctype | pugi::parse_ws_pcdata_single;
// Keep line breaks inside attribute values: no whitespace conversion.
constexpr unsigned Parse_Flags = Parse_Options & ~pugi::parse_wconv_attribute;

// Line and column (1-based) of a byte offset into the file.
std::pair<int, int> Line_Column(const QByteArray& Data, qsizetype Offset)
{
    int Line = 1;
    qsizetype Line_Start = 0;
    for (qsizetype I = 0; I < Offset && I < Data.size(); ++I) {
        if (Data[I] == '\n') {
            ++Line;
            Line_Start = I + 1;
        }
    }
    const QString Column_Text = QString::fromUtf8(Data.mid(Line_Start, Offset - Line_Start));
    return {Line, static_cast<int>(Column_Text.size()) + 1};
}

struct Byte_Writer : pugi::xml_writer {
    QByteArray Bytes;
    void write(const void* Data, size_t Size) override
    {
        Bytes.append(static_cast<const char*>(Data), static_cast<qsizetype>(Size));
    }
};

} // namespace

Xml_Parse_Error::Xml_Parse_Error(const QString& Message) : std::runtime_error(Message.toStdString()), Text(Message) {}

Xml_File::Load_Status Xml_File::Load(const QString& Path, QString* Error)
{
    Doc.reset();
    QFile File(Path);
    if (!QFileInfo(Path).isFile() || !File.open(QIODevice::ReadOnly))
        return Load_Status::Missing;
    const QByteArray Data = File.readAll();
    const pugi::xml_parse_result Result = Doc.load_buffer(Data.constData(), static_cast<size_t>(Data.size()),
                                                          Parse_Flags, pugi::encoding_auto);
    if (Result)
        return Load_Status::Loaded;
    Doc.reset();
    if (Error) {
        const auto [Line, Column] = Line_Column(Data, static_cast<qsizetype>(Result.offset));
        *Error = QStringLiteral("%1 (line %2, column %3): %4")
                     .arg(QFileInfo(Path).fileName())
                     .arg(Line)
                     .arg(Column)
                     .arg(QString::fromUtf8(Result.description()));
    }
    return Load_Status::Malformed;
}

bool Xml_File::Load_Or_Throw(const QString& Path)
{
    QString Error;
    switch (Load(Path, &Error)) {
    case Load_Status::Loaded: return true;
    case Load_Status::Missing: return false;
    case Load_Status::Malformed: break;
    }
    throw Xml_Parse_Error(Error);
}

pugi::xml_node Xml_File::Root() const { return Doc.first_child(); }

std::optional<QString> Xml_File::Child_Text(pugi::xml_node Parent, const char* Name)
{
    if (!Parent)
        return std::nullopt;
    const pugi::xml_node Child = Parent.child(Name);
    if (!Child)
        return std::nullopt;
    return QString::fromUtf8(Child.text().get());
}

std::optional<QString> Xml_File::Attribute(pugi::xml_node Node, const char* Name)
{
    if (!Node)
        return std::nullopt;
    const pugi::xml_attribute Attr = Node.attribute(Name);
    if (!Attr)
        return std::nullopt;
    return QString::fromUtf8(Attr.value());
}

pugi::xml_node Xml_File::Add_Element(pugi::xml_node Parent, const char* Name) { return Parent.append_child(Name); }

pugi::xml_node Xml_File::Add_Text_Element(pugi::xml_node Parent, const char* Name, const QString& Text)
{
    pugi::xml_node Node = Parent.append_child(Name);
    if (!Text.isEmpty())
        Node.text().set(Text.toUtf8().constData());
    return Node;
}

void Xml_File::Set_Attribute(pugi::xml_node Node, const char* Name, const QString& Value)
{
    Node.append_attribute(Name).set_value(Value.toUtf8().constData());
}

QByteArray Xml_File::To_Bytes() const
{
    Byte_Writer Writer;
    Doc.save(Writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return Writer.Bytes;
}

std::expected<void, Write_Error> Xml_File::Save(const QString& Path) const { return Write_File_Atomic(Path, To_Bytes()); }
