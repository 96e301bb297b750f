#include "platform/Xml_File.h"

#include "platform/File_Read.h"
#include "platform/File_Write.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

// Why two parsers. pugixml builds the tree every reader walks, but it checks
// little by design: it takes forbidden characters, broken encodings, undefined
// entities, a second root, duplicated attributes and bad comments without a
// word. QXmlStreamReader checks well-formedness fully, so it runs first over
// the same characters as a check pass, and pugixml only builds the tree of a
// document that passed. The tree, and so every value read, stays what it was
// (line breaks in attribute values included); only what is not XML is refused.
// The encoding is decided and checked here, strictly, and both parsers are
// handed the same characters, so they cannot read a document differently.

constexpr unsigned Parse_Options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi
                                   | pugi::parse_declaration | pugi::parse_doctype | pugi::parse_ws_pcdata;
// Keep line breaks inside attribute values: no whitespace conversion. Blank
// text is kept everywhere so that an element's text between comments is whole.
constexpr unsigned Parse_Flags = Parse_Options & ~pugi::parse_wconv_attribute;

// The 8-bit encodings a hand-edited file may declare are read besides the
// Unicode ones: US-ASCII, ISO-8859-1 and windows-1252.
enum class Encoding { Utf8, Utf16_Le, Utf16_Be, Utf32_Le, Utf32_Be, Latin1, Ascii, Cp1252 };

pugi::xml_encoding Pugi_Encoding(Encoding E)
{
    switch (E) {
    case Encoding::Utf8: return pugi::encoding_utf8;
    case Encoding::Utf16_Le: return pugi::encoding_utf16_le;
    case Encoding::Utf16_Be: return pugi::encoding_utf16_be;
    case Encoding::Utf32_Le: return pugi::encoding_utf32_le;
    case Encoding::Utf32_Be: return pugi::encoding_utf32_be;
    case Encoding::Latin1: return pugi::encoding_latin1;
    case Encoding::Ascii: return pugi::encoding_utf8;
    case Encoding::Cp1252: return pugi::encoding_utf8;  // handed over decoded
    }
    return pugi::encoding_utf8;
}

// The encoding name of an XML declaration at the very start of 8-bit data.
QByteArray Declared_Name(const QByteArray& Data)
{
    if (!Data.startsWith("<?xml"))
        return {};
    const qsizetype End = Data.indexOf("?>");
    static const QRegularExpression Pattern(QStringLiteral(R"(\sencoding\s*=\s*(["'])([A-Za-z0-9._-]*)\1)"));
    const auto Match = Pattern.match(QString::fromLatin1(Data.left(End < 0 ? 200 : End)));
    return Match.hasMatch() ? Match.captured(2).toLatin1() : QByteArray();
}

// The byte-order mark, then the first characters "<" or "<?", then the
// declaration decide; without any of them the document is UTF-8.
std::pair<Encoding, qsizetype> Detect_Encoding(const QByteArray& Data)
{
    const auto Starts = [&Data](std::initializer_list<unsigned char> Bytes) {
        if (Data.size() < static_cast<qsizetype>(Bytes.size()))
            return false;
        qsizetype I = 0;
        for (unsigned char B : Bytes)
            if (static_cast<unsigned char>(Data[I++]) != B)
                return false;
        return true;
    };
    if (Starts({0x00, 0x00, 0xFE, 0xFF}))
        return {Encoding::Utf32_Be, 4};
    if (Starts({0xFF, 0xFE, 0x00, 0x00}))
        return {Encoding::Utf32_Le, 4};
    if (Starts({0xFE, 0xFF}))
        return {Encoding::Utf16_Be, 2};
    if (Starts({0xFF, 0xFE}))
        return {Encoding::Utf16_Le, 2};
    if (Starts({0xEF, 0xBB, 0xBF}))
        return {Encoding::Utf8, 3};
    if (Starts({0x00, 0x00, 0x00, 0x3C}))
        return {Encoding::Utf32_Be, 0};
    if (Starts({0x3C, 0x00, 0x00, 0x00}))
        return {Encoding::Utf32_Le, 0};
    if (Starts({0x00, 0x3C}))
        return {Encoding::Utf16_Be, 0};
    if (Starts({0x3C, 0x00}))
        return {Encoding::Utf16_Le, 0};
    const QByteArray Name = Declared_Name(Data).toUpper();
    if (Name == "ISO-8859-1" || Name == "LATIN1" || Name == "ISO_8859-1")
        return {Encoding::Latin1, 0};
    if (Name == "US-ASCII" || Name == "ASCII")
        return {Encoding::Ascii, 0};
    if (Name == "WINDOWS-1252" || Name == "CP1252")
        return {Encoding::Cp1252, 0};
    return {Encoding::Utf8, 0};
}

// Line and column (1-based) just after the characters of Text.
std::pair<int, int> End_Of(const QString& Text)
{
    int Line = 1;
    qsizetype Line_Start = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text[I];
        if (C == u'\n' || (C == u'\r' && (I + 1 == Text.size() || Text[I + 1] != u'\n'))) {
            ++Line;
            Line_Start = I + 1;
        }
    }
    return {Line, static_cast<int>(Text.size() - Line_Start) + 1};
}

struct Decoded {
    QString Text;
    qsizetype Bad_Offset = -1; // first byte that is not a character of the encoding
};

// Length of the valid UTF-8 sequence at Data[I], 0 when there is none: no
// overlong forms, no surrogates, nothing above U+10FFFF.
int Utf8_Sequence(const QByteArray& Data, qsizetype I)
{
    const auto At = [&](qsizetype K) { return K < Data.size() ? static_cast<unsigned char>(Data[K]) : 0x100U; };
    const unsigned B0 = At(I);
    const auto Tail = [&](qsizetype K, unsigned Low = 0x80, unsigned High = 0xBF) {
        return At(K) >= Low && At(K) <= High;
    };
    if (B0 < 0x80)
        return 1;
    if (B0 >= 0xC2 && B0 <= 0xDF)
        return Tail(I + 1) ? 2 : 0;
    if (B0 >= 0xE0 && B0 <= 0xEF) {
        const unsigned Low = B0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned High = B0 == 0xED ? 0x9F : 0xBF;
        return Tail(I + 1, Low, High) && Tail(I + 2) ? 3 : 0;
    }
    if (B0 >= 0xF0 && B0 <= 0xF4) {
        const unsigned Low = B0 == 0xF0 ? 0x90 : 0x80;
        const unsigned High = B0 == 0xF4 ? 0x8F : 0xBF;
        return Tail(I + 1, Low, High) && Tail(I + 2) && Tail(I + 3) ? 4 : 0;
    }
    return 0;
}

// windows-1252 at 0x80..0x9F; 0 where the code page defines no character.
constexpr char16_t Cp1252_High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

Decoded Decode(const QByteArray& Data, Encoding E, qsizetype Start)
{
    Decoded Out;
    const auto Unit = [&](qsizetype I, int Size, bool Big) {
        quint32 Value = 0;
        for (int K = 0; K < Size; ++K) {
            const quint32 Byte = static_cast<unsigned char>(Data[I + (Big ? K : Size - 1 - K)]);
            Value = Value << 8 | Byte;
        }
        return Value;
    };
    switch (E) {
    case Encoding::Latin1: Out.Text = QString::fromLatin1(Data.mid(Start)); break;
    case Encoding::Ascii:
    case Encoding::Cp1252:
        Out.Text.reserve(Data.size() - Start);
        for (qsizetype I = Start; I < Data.size(); ++I) {
            const unsigned char Byte = static_cast<unsigned char>(Data[I]);
            char16_t C = Byte;
            if (Byte >= 0x80 && (E == Encoding::Ascii || (Byte < 0xA0 && (C = Cp1252_High[Byte - 0x80]) == 0))) {
                Out.Bad_Offset = I;
                break;
            }
            Out.Text.append(QChar(C));
        }
        break;
    case Encoding::Utf8:
        for (qsizetype I = Start; I < Data.size();) {
            const int Length = Utf8_Sequence(Data, I);
            if (Length == 0) {
                Out.Text = QString::fromUtf8(Data.mid(Start, I - Start));
                Out.Bad_Offset = I;
                return Out;
            }
            I += Length;
        }
        Out.Text = QString::fromUtf8(Data.mid(Start));
        break;
    case Encoding::Utf16_Le:
    case Encoding::Utf16_Be: {
        const bool Big = E == Encoding::Utf16_Be;
        Out.Text.reserve((Data.size() - Start) / 2);
        qsizetype I = Start;
        for (; I + 1 < Data.size(); I += 2) {
            const char16_t C = static_cast<char16_t>(Unit(I, 2, Big));
            if (QChar::isHighSurrogate(C)) {
                if (I + 3 >= Data.size() || !QChar::isLowSurrogate(static_cast<char16_t>(Unit(I + 2, 2, Big))))
                    break;
                Out.Text.append(QChar(C));
                I += 2;
                Out.Text.append(QChar(static_cast<char16_t>(Unit(I, 2, Big))));
                continue;
            }
            if (QChar::isLowSurrogate(C))
                break;
            Out.Text.append(QChar(C));
        }
        if (I < Data.size())
            Out.Bad_Offset = I;
        break;
    }
    case Encoding::Utf32_Le:
    case Encoding::Utf32_Be: {
        const bool Big = E == Encoding::Utf32_Be;
        qsizetype I = Start;
        for (; I + 3 < Data.size(); I += 4) {
            const char32_t C = Unit(I, 4, Big);
            if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF))
                break;
            Out.Text.append(QChar::fromUcs4(C));
        }
        if (I < Data.size())
            Out.Bad_Offset = I;
        break;
    }
    }
    return Out;
}

// Whether the encoding a declaration names is the one the document is in.
bool Declaration_Fits(const QString& Declared, Encoding E)
{
    if (Declared.isEmpty())
        return true;
    const QString Name = Declared.toUpper();
    switch (E) {
    case Encoding::Utf8: return Name == QLatin1StringView("UTF-8");
    case Encoding::Latin1:
        return Name == QLatin1StringView("ISO-8859-1") || Name == QLatin1StringView("LATIN1")
            || Name == QLatin1StringView("ISO_8859-1");
    case Encoding::Ascii: return Name == QLatin1StringView("US-ASCII") || Name == QLatin1StringView("ASCII");
    case Encoding::Cp1252: return Name == QLatin1StringView("WINDOWS-1252") || Name == QLatin1StringView("CP1252");
    case Encoding::Utf16_Le: return Name == QLatin1StringView("UTF-16") || Name == QLatin1StringView("UTF-16LE");
    case Encoding::Utf16_Be: return Name == QLatin1StringView("UTF-16") || Name == QLatin1StringView("UTF-16BE");
    case Encoding::Utf32_Le: return Name == QLatin1StringView("UTF-32") || Name == QLatin1StringView("UTF-32LE");
    case Encoding::Utf32_Be: return Name == QLatin1StringView("UTF-32") || Name == QLatin1StringView("UTF-32BE");
    }
    return false;
}

const char* Encoding_Name(Encoding E)
{
    switch (E) {
    case Encoding::Utf8: return "UTF-8";
    case Encoding::Latin1: return "ISO-8859-1";
    case Encoding::Ascii: return "US-ASCII";
    case Encoding::Cp1252: return "windows-1252";
    case Encoding::Utf16_Le: return "UTF-16LE";
    case Encoding::Utf16_Be: return "UTF-16BE";
    case Encoding::Utf32_Le: return "UTF-32LE";
    case Encoding::Utf32_Be: return "UTF-32BE";
    }
    return "";
}

// Entity expansion is bounded as libxml2 bounds it: up to a floor the text
// may grow freely, beyond it to a multiple of the document's size, and never
// past a ceiling. A few hundred kilobytes that declare one long entity and
// refer to it a million times would otherwise expand to gigabytes.
constexpr qint64 Expansion_Floor = 1'000'000;     // characters
constexpr qint64 Expansion_Factor = 10;
constexpr qint64 Expansion_Ceiling = 10'000'000;  // characters

qint64 Expansion_Limit(const QString& Text)
{
    return std::min(Expansion_Ceiling, std::max(Expansion_Floor, Expansion_Factor * Text.size()));
}

// The entity references of View in order: offset of the '&' and the name.
template <typename Visit>
void For_Each_Reference(QStringView View, Visit&& On_Reference)
{
    for (qsizetype At = View.indexOf(u'&'); At >= 0; At = View.indexOf(u'&', At + 1)) {
        const qsizetype End = View.indexOf(u';', At + 1);
        if (End < 0)
            return;
        const QStringView Name = View.mid(At + 1, End - At - 1);
        if (!Name.isEmpty() && Name[0] != u'#' && Name.size() <= 256 && !Name.contains(u'&'))
            if (!On_Reference(At, Name))
                return;
    }
}

class Entity_Sizes {
public:
    Entity_Sizes(const QXmlStreamEntityDeclarations& Declarations, qint64 Limit) : Limit(Limit)
    {
        for (const QXmlStreamEntityDeclaration& Entity : Declarations)
            if (!Values.contains(Entity.name().toString()))
                Values.insert(Entity.name().toString(), Entity.value().toString());
    }

    // Characters a reference to Name expands to, all nested references
    // expanded; at most Limit + 1. -1 for a name not declared here.
    qint64 Size(const QString& Name)
    {
        if (const auto Known = Sizes.constFind(Name); Known != Sizes.cend())
            return *Known;
        const auto Value = Values.constFind(Name);
        if (Value == Values.cend())
            return -1;
        if (Visiting.contains(Name))
            return 0;  // a recursive entity; the reader refuses it
        Visiting.insert(Name);
        qint64 Total = Value->size();
        For_Each_Reference(*Value, [&](qsizetype, QStringView Inner) {
            const qint64 Inner_Size = Size(Inner.toString());
            if (Inner_Size >= 0)
                Total += Inner_Size;
            Total = std::min(Total, Limit + 1);
            return true;
        });
        Visiting.remove(Name);
        Sizes.insert(Name, Total);
        return Total;
    }

    bool Empty() const { return Values.isEmpty(); }

private:
    qint64 Limit;
    QHash<QString, QString> Values;
    QHash<QString, qint64> Sizes;
    QSet<QString> Visiting;
};

// Where each <!ENTITY ...> declaration of Dtd begins and ends.
QList<std::pair<qsizetype, qsizetype>> Entity_Declaration_Ranges(QStringView Dtd)
{
    QList<std::pair<qsizetype, qsizetype>> Ranges;
    for (qsizetype Begin = Dtd.indexOf(u"<!ENTITY"); Begin >= 0; Begin = Dtd.indexOf(u"<!ENTITY", Begin + 1)) {
        qsizetype At = Begin + 8;
        // Past the quoted values: a '>' inside a quote ends nothing.
        while (At < Dtd.size() && Dtd[At] != u'>') {
            if (Dtd[At] == u'"' || Dtd[At] == u'\'') {
                const qsizetype Close = Dtd.indexOf(Dtd[At], At + 1);
                At = Close < 0 ? Dtd.size() : Close;
            }
            ++At;
        }
        Ranges.append({Begin, At});
    }
    return Ranges;
}

// Where the entity references after the document type declaration would make
// the document expand past the limit, counted before the reader expands any.
// A reference inside the declaration (an attribute default among them) counts
// once for each element that may follow.
std::optional<Xml_Syntax_Error> Check_Expansion(const QString& Text, qsizetype Dtd_Start, qsizetype Dtd_End,
                                                const QXmlStreamEntityDeclarations& Declarations)
{
    const qint64 Limit = Expansion_Limit(Text);
    Entity_Sizes Entities(Declarations, Limit);
    if (Entities.Empty())
        return std::nullopt;
    const QStringView Body = QStringView(Text).mid(Dtd_End);
    const qint64 Elements = Body.count(u'<');
    qint64 Total = 0;
    std::optional<qsizetype> Past;
    const auto Add = [&](qsizetype Offset, qint64 Size, qint64 Times) {
        if (Size <= 0)
            return true;
        Total += Times > 0 && Size > (Limit + 1) / Times ? Limit + 1 : Size * Times;
        if (Total > Limit) {
            Past = Offset;
            return false;
        }
        return true;
    };
    const QStringView Dtd = QStringView(Text).mid(Dtd_Start, Dtd_End - Dtd_Start);
    const auto Declarations_Of_Entities = Entity_Declaration_Ranges(Dtd);
    For_Each_Reference(Dtd, [&](qsizetype At, QStringView Name) {
        // Within an entity's own value a reference is counted where the
        // entity is used.
        for (const auto& [Begin, End] : Declarations_Of_Entities)
            if (At >= Begin && At < End)
                return true;
        return Add(Dtd_Start + At, Entities.Size(Name.toString()), Elements);
    });
    if (!Past)
        For_Each_Reference(Body, [&](qsizetype At, QStringView Name) {
            return Add(Dtd_End + At, Entities.Size(Name.toString()), 1);
        });
    if (!Past)
        return std::nullopt;
    const auto [Line, Column] = End_Of(Text.left(*Past));
    return Xml_Syntax_Error{Line, Column,
                            QStringLiteral("entity references expand the document past %1 characters").arg(Limit)};
}

std::optional<Xml_Syntax_Error> Check_Text(const QString& Text, Encoding E)
{
    QXmlStreamReader Reader(Text);
    // Well-formedness of XML itself; prefixes are not this program's concern.
    Reader.setNamespaceProcessing(false);
    // Qt counts the characters read on the line; the last one read is where
    // it stopped, so that count is the 1-based column of the offending one.
    const auto Here = [&Reader](QString Message) {
        return Xml_Syntax_Error{static_cast<int>(Reader.lineNumber()),
                                std::max(1, static_cast<int>(Reader.columnNumber())), std::move(Message)};
    };
    bool Root_Seen = false;
    bool Dtd_Seen = false;
    qsizetype Token_Start = 0;
    while (!Reader.atEnd()) {
        const QXmlStreamReader::TokenType Token = Reader.readNext();
        if (Token == QXmlStreamReader::StartDocument && !Declaration_Fits(Reader.documentEncoding().toString(), E))
            return Here(QStringLiteral("the declaration names the encoding %1, the document is in %2")
                            .arg(Reader.documentEncoding().toString(), QLatin1StringView(Encoding_Name(E))));
        if (Token == QXmlStreamReader::StartElement)
            Root_Seen = true;
        if (Token == QXmlStreamReader::DTD) {
            const qsizetype Start = std::max<qsizetype>(Text.indexOf(QLatin1StringView("<!DOCTYPE"), Token_Start), 0);
            const auto Declaration_Here = [&](const QString& Message) {
                const auto [Line, Column] = End_Of(Text.left(Start));
                return Xml_Syntax_Error{Line, Column, Message};
            };
            if (Root_Seen)
                return Declaration_Here(QStringLiteral("a document type declaration after the root element"));
            if (Dtd_Seen)
                return Declaration_Here(QStringLiteral("a second document type declaration"));
            Dtd_Seen = true;
            if (auto Fault = Check_Expansion(Text, Start, Reader.characterOffset(), Reader.entityDeclarations()))
                return Fault;
        }
        Token_Start = Reader.characterOffset();
    }
    if (Reader.hasError())
        return Here(Reader.errorString());
    return std::nullopt;
}

std::optional<Xml_Syntax_Error> Check(const QByteArray& Data, Encoding E, qsizetype Start)
{
    const Decoded Text = Decode(Data, E, Start);
    if (Text.Bad_Offset >= 0) {
        const auto [Line, Column] = End_Of(Text.Text);
        return Xml_Syntax_Error{Line, Column,
                                QStringLiteral("byte 0x%1 is not part of a valid %2 character")
                                    .arg(static_cast<unsigned char>(Data[Text.Bad_Offset]), 2, 16, QLatin1Char('0'))
                                    .arg(QLatin1StringView(Encoding_Name(E)))};
    }
    return Check_Text(Text.Text, E);
}

QString Message_For(const QString& File_Name, const Xml_Syntax_Error& Error)
{
    return QStringLiteral("%1 (line %2, column %3): %4")
        .arg(File_Name)
        .arg(Error.Line)
        .arg(Error.Column)
        .arg(Error.Message);
}

// Line and column (1-based) of a byte offset into the file.
std::pair<int, int> Line_Column(const QByteArray& Data, qsizetype Offset)
{
    return End_Of(QString::fromUtf8(Data.left(Offset)));
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
    const QString File_Name = QFileInfo(Path).fileName();
    std::expected<QByteArray, Read_Error> Data = Read_Regular_File(Path);
    if (Data)
        return Load_Bytes(*Data, File_Name, Error);
    if (Data.error().Missing)
        return Load_Status::Missing;
    if (Error)
        *Error = File_Name + QStringLiteral(": ") + Data.error().Text;
    return Load_Status::Unreadable;
}

Xml_File::Load_Status Xml_File::Load_Bytes(const QByteArray& Data, const QString& File_Name, QString* Error)
{
    Doc.reset();
    const auto [Source, Mark] = Detect_Encoding(Data);
    if (const auto Fault = Check(Data, Source, Mark)) {
        if (Error)
            *Error = Message_For(File_Name, *Fault);
        return Load_Status::Malformed;
    }
    // pugixml knows no windows-1252; it gets the checked characters as UTF-8.
    const QByteArray Converted = Source == Encoding::Cp1252 ? Decode(Data, Source, Mark).Text.toUtf8() : QByteArray();
    const QByteArray& Bytes = Source == Encoding::Cp1252 ? Converted : Data;
    const pugi::xml_parse_result Result = Doc.load_buffer(Bytes.constData(), static_cast<size_t>(Bytes.size()),
                                                          Parse_Flags, Pugi_Encoding(Source));
    if (Result)
        return Load_Status::Loaded;
    // Not expected after the check pass; kept so that no half tree is read.
    Doc.reset();
    if (Error) {
        const auto [Line, Column] = Line_Column(Bytes, static_cast<qsizetype>(Result.offset));
        *Error = Message_For(File_Name, {Line, Column, QString::fromUtf8(Result.description())});
    }
    return Load_Status::Malformed;
}

std::optional<Xml_Syntax_Error> Xml_File::Check_Well_Formed(const QByteArray& Data)
{
    const auto [Source, Mark] = Detect_Encoding(Data);
    return Check(Data, Source, Mark);
}

bool Xml_File::Load_Or_Throw(const QString& Path)
{
    QString Error;
    switch (Load(Path, &Error)) {
    case Load_Status::Loaded: return true;
    case Load_Status::Missing: return false;
    case Load_Status::Malformed:
    case Load_Status::Unreadable: break;
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
    return Text(Child);
}

QString Xml_File::Text(pugi::xml_node Element)
{
    QByteArray Bytes;
    for (pugi::xml_node Part = Element.first_child(); Part; Part = Part.next_sibling())
        if (Part.type() == pugi::node_pcdata || Part.type() == pugi::node_cdata)
            Bytes += Part.value();
    return QString::fromUtf8(Bytes);
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
