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
#include <tuple>

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

// ---- Names ----
//
// The stream reader checks little of the names in a start tag's attributes
// and nothing of those in a document type declaration: it takes a backquote
// or U+0000 in an attribute name and "<!ENTITY \ "a">". What XML 1.0 refuses
// there is refused here, at the character that breaks the rule.

bool Name_Start_Char(char32_t C)
{
    return C == U':' || (C >= U'A' && C <= U'Z') || C == U'_' || (C >= U'a' && C <= U'z')
        || (C >= 0xC0 && C <= 0xD6) || (C >= 0xD8 && C <= 0xF6) || (C >= 0xF8 && C <= 0x2FF)
        || (C >= 0x370 && C <= 0x37D) || (C >= 0x37F && C <= 0x1FFF) || (C >= 0x200C && C <= 0x200D)
        || (C >= 0x2070 && C <= 0x218F) || (C >= 0x2C00 && C <= 0x2FEF) || (C >= 0x3001 && C <= 0xD7FF)
        || (C >= 0xF900 && C <= 0xFDCF) || (C >= 0xFDF0 && C <= 0xFFFD) || (C >= 0x10000 && C <= 0xEFFFF);
}

bool Name_Char(char32_t C)
{
    return Name_Start_Char(C) || C == U'-' || C == U'.' || (C >= U'0' && C <= U'9') || C == 0xB7
        || (C >= 0x300 && C <= 0x36F) || (C >= 0x203F && C <= 0x2040);
}

bool Blank(QChar C) { return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n'; }

// Reads the names and literals of a start tag or of a document type
// declaration the stream reader has already taken, one after the other.
class Name_Scanner {
public:
    Name_Scanner(const QString& Text_, qsizetype Begin, qsizetype End_) : Text(Text_), At(Begin), End(End_) {}

    std::optional<Xml_Syntax_Error> Fault;

    bool Done() const { return Fault || At >= End; }
    QChar Peek(qsizetype Ahead = 0) const { return At + Ahead < End ? Text[At + Ahead] : QChar(); }
    bool Starts(QLatin1StringView Word) const { return QStringView(Text).mid(At, End - At).startsWith(Word); }
    void Skip(qsizetype Count) { At = std::min(End, At + Count); }
    void Skip_Blanks()
    {
        while (At < End && Blank(Text[At]))
            ++At;
    }
    // Past the next Stop (or to the end).
    void Skip_Past(QLatin1StringView Stop)
    {
        const qsizetype Found = Text.indexOf(Stop, At);
        At = Found < 0 || Found >= End ? End : Found + Stop.size();
    }
    // Past a quoted literal at the cursor; Check_References checks the names
    // of the references in it ('%' ones too where Parameter).
    void Skip_Literal(bool Check_References = false, bool Parameter = false)
    {
        const QChar Quote = Peek();
        const qsizetype Close = Text.indexOf(Quote, At + 1);
        const qsizetype Stop = Close < 0 || Close >= End ? End : Close;
        if (Check_References)
            for (qsizetype I = At + 1; I < Stop && !Fault; ++I) {
                if (Text[I] != u'&' && !(Parameter && Text[I] == u'%'))
                    continue;
                if (Text[I] == u'&' && I + 1 < Stop && Text[I + 1] == u'#')
                    continue;  // a character reference
                const qsizetype Semicolon = Text.indexOf(u';', I + 1);
                if (Semicolon < 0 || Semicolon >= Stop)
                    break;  // the reader refuses what follows
                Check(I + 1, Semicolon, u"name of a referenced entity");
                I = Semicolon;
            }
        At = std::min(End, Stop + 1);
    }
    // The name at the cursor, up to a blank or one of Stops; checked as What.
    QStringView Name(QStringView Stops, const char16_t* What)
    {
        const qsizetype Begin = At;
        while (At < End && !Blank(Text[At]) && !Stops.contains(Text[At]))
            ++At;
        Check(Begin, At, What);
        return QStringView(Text).mid(Begin, At - Begin);
    }

private:
    void Check(qsizetype Begin, qsizetype Stop, const char16_t* What)
    {
        if (Fault)
            return;
        qsizetype I = Begin;
        while (I < Stop) {
            char32_t C = Text[I].unicode();
            qsizetype Width = 1;
            if (Text[I].isHighSurrogate() && I + 1 < Stop && Text[I + 1].isLowSurrogate()) {
                C = QChar::surrogateToUcs4(Text[I], Text[I + 1]);
                Width = 2;
            }
            if (I == Begin ? !Name_Start_Char(C) : !Name_Char(C)) {
                // One arg() call: a name holding "%1" must not be filled in.
                const QString Code = QStringLiteral("U+%1").arg(static_cast<uint>(C), 4, 16, QLatin1Char('0')).toUpper();
                const QString Shown = C >= 0x21 && C != 0x7F ? QStringView(Text).mid(I, Width).toString()
                                                             : QStringLiteral("a control character");
                Report(I, QStringLiteral("the %1 \"%2\" holds %3 (%4), which XML does not allow %5 a name")
                              .arg(QString::fromUtf16(What), Visible(QStringView(Text).mid(Begin, Stop - Begin)), Code,
                                   Shown, QLatin1StringView(I == Begin ? "at the start of" : "in")));
                return;
            }
            I += Width;
        }
        if (Stop == Begin)
            Report(Begin, QStringLiteral("a %1 is missing").arg(QString::fromUtf16(What)));
    }
    void Report(qsizetype Offset, const QString& Message)
    {
        const auto [Line, Column] = End_Of(Text.left(Offset));
        Fault = Xml_Syntax_Error{Line, Column, Message};
    }
    // The name as a message shows it: control characters as "\u0000".
    static QString Visible(QStringView Name)
    {
        QString Shown;
        for (const QChar C : Name)
            Shown += C.unicode() < 0x20 || C.unicode() == 0x7F
                         ? QStringLiteral("\\u%1").arg(C.unicode(), 4, 16, QLatin1Char('0'))
                         : QString(C);
        return Shown;
    }

    const QString& Text;
    qsizetype At;
    qsizetype End;
};

// The element's and the attributes' names of the start tag that ends at End.
std::optional<Xml_Syntax_Error> Check_Tag_Names(const QString& Text, qsizetype End)
{
    // No '<' stands inside an attribute value: the last one opens the tag.
    const qsizetype Open = Text.lastIndexOf(u'<', End - 1);
    if (Open < 0)
        return std::nullopt;
    Name_Scanner Tag(Text, Open + 1, End);
    Tag.Name(u"/>", u"element name");
    while (!Tag.Done()) {
        Tag.Skip_Blanks();
        if (Tag.Done() || Tag.Peek() == u'/' || Tag.Peek() == u'>')
            break;
        Tag.Name(u"=", u"attribute name");
        Tag.Skip_Blanks();
        if (Tag.Peek() != u'=')
            break;
        Tag.Skip(1);
        Tag.Skip_Blanks();
        if (Tag.Peek() != u'"' && Tag.Peek() != u'\'')
            break;
        Tag.Skip_Literal();
    }
    return Tag.Fault;
}

// The names a document type declaration (from Begin, its "<!DOCTYPE", to
// End) declares and refers to: the document type's, each entity's,
// element's, attribute's and notation's, the notation of an unparsed entity
// and the references in entity values and attribute defaults.
std::optional<Xml_Syntax_Error> Check_Declaration_Names(const QString& Text, qsizetype Begin, qsizetype End)
{
    Name_Scanner Dtd(Text, Begin, End);
    const QStringView Stops(u">[\"'");
    Dtd.Skip(9);
    Dtd.Skip_Blanks();
    Dtd.Name(Stops, u"document type name");
    // The external identifier, then the internal subset.
    while (!Dtd.Done() && Dtd.Peek() != u'[' && Dtd.Peek() != u'>') {
        if (Dtd.Peek() == u'"' || Dtd.Peek() == u'\'')
            Dtd.Skip_Literal();
        else
            Dtd.Skip(1);
    }
    if (Dtd.Peek() != u'[')
        return Dtd.Fault;
    Dtd.Skip(1);
    // Skips the rest of a declaration, its literals whole.
    const auto Skip_Declaration = [&Dtd] {
        while (!Dtd.Done() && Dtd.Peek() != u'>') {
            if (Dtd.Peek() == u'"' || Dtd.Peek() == u'\'')
                Dtd.Skip_Literal();
            else
                Dtd.Skip(1);
        }
        Dtd.Skip(1);
    };
    while (!Dtd.Done()) {
        Dtd.Skip_Blanks();
        if (Dtd.Done() || Dtd.Peek() == u']')
            break;
        if (Dtd.Starts(QLatin1StringView("<!--"))) {
            Dtd.Skip_Past(QLatin1StringView("-->"));
        } else if (Dtd.Starts(QLatin1StringView("<?"))) {
            Dtd.Skip_Past(QLatin1StringView("?>"));
        } else if (Dtd.Peek() == u'%') {
            Dtd.Skip(1);
            Dtd.Name(u";", u"parameter entity name");
            Dtd.Skip(1);
        } else if (Dtd.Starts(QLatin1StringView("<!ENTITY"))) {
            Dtd.Skip(8);
            Dtd.Skip_Blanks();
            bool Parameter = false;
            if (Dtd.Peek() == u'%') {
                Parameter = true;
                Dtd.Skip(1);
                Dtd.Skip_Blanks();
            }
            Dtd.Name(Stops, Parameter ? u"parameter entity name" : u"entity name");
            Dtd.Skip_Blanks();
            if (Dtd.Peek() == u'"' || Dtd.Peek() == u'\'') {
                Dtd.Skip_Literal(true, true);
            } else {
                // SYSTEM or PUBLIC with their literals, then NDATA and a notation's name.
                while (!Dtd.Done() && Dtd.Peek() != u'>') {
                    Dtd.Skip_Blanks();
                    if (Dtd.Peek() == u'"' || Dtd.Peek() == u'\'') {
                        Dtd.Skip_Literal();
                    } else if (Dtd.Starts(QLatin1StringView("NDATA"))) {
                        Dtd.Skip(5);
                        Dtd.Skip_Blanks();
                        Dtd.Name(Stops, u"notation name");
                    } else if (Dtd.Peek() != u'>') {
                        Dtd.Skip(1);
                    }
                }
            }
            Skip_Declaration();
        } else if (Dtd.Starts(QLatin1StringView("<!ELEMENT"))) {
            Dtd.Skip(9);
            Dtd.Skip_Blanks();
            Dtd.Name(u">(\"'", u"element name");
            Skip_Declaration();
        } else if (Dtd.Starts(QLatin1StringView("<!NOTATION"))) {
            Dtd.Skip(10);
            Dtd.Skip_Blanks();
            Dtd.Name(Stops, u"notation name");
            Skip_Declaration();
        } else if (Dtd.Starts(QLatin1StringView("<!ATTLIST"))) {
            Dtd.Skip(9);
            Dtd.Skip_Blanks();
            Dtd.Name(Stops, u"element name");
            // Each attribute: its name, its type, its default.
            while (!Dtd.Done()) {
                Dtd.Skip_Blanks();
                if (Dtd.Done() || Dtd.Peek() == u'>')
                    break;
                Dtd.Name(u">(\"'", u"attribute name");
                Dtd.Skip_Blanks();
                if (Dtd.Starts(QLatin1StringView("NOTATION"))) {
                    Dtd.Skip(8);
                    Dtd.Skip_Blanks();
                }
                if (Dtd.Peek() == u'(')
                    Dtd.Skip_Past(QLatin1StringView(")"));
                else
                    while (!Dtd.Done() && !Blank(Dtd.Peek()) && Dtd.Peek() != u'>')
                        Dtd.Skip(1);
                Dtd.Skip_Blanks();
                if (Dtd.Starts(QLatin1StringView("#FIXED"))) {
                    Dtd.Skip(6);
                    Dtd.Skip_Blanks();
                }
                if (Dtd.Peek() == u'"' || Dtd.Peek() == u'\'')
                    Dtd.Skip_Literal(true);
                else
                    while (!Dtd.Done() && !Blank(Dtd.Peek()) && Dtd.Peek() != u'>')
                        Dtd.Skip(1);
            }
            Dtd.Skip(1);
        } else {
            break;  // nothing the reader took unchecked
        }
    }
    return Dtd.Fault;
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
        if (Token == QXmlStreamReader::StartElement) {
            Root_Seen = true;
            if (auto Fault = Check_Tag_Names(Text, Reader.characterOffset()))
                return Fault;
        }
        if (Token == QXmlStreamReader::DTD) {
            // The reader has looked at "<!" before it knew the token's kind.
            const qsizetype Start = std::max<qsizetype>(
                Text.indexOf(QLatin1StringView("<!DOCTYPE"), std::max<qsizetype>(Token_Start - 2, 0)), 0);
            const auto Declaration_Here = [&](const QString& Message) {
                const auto [Line, Column] = End_Of(Text.left(Start));
                return Xml_Syntax_Error{Line, Column, Message};
            };
            if (Root_Seen)
                return Declaration_Here(QStringLiteral("a document type declaration after the root element"));
            if (Dtd_Seen)
                return Declaration_Here(QStringLiteral("a second document type declaration"));
            Dtd_Seen = true;
            if (auto Fault = Check_Declaration_Names(Text, Start, Reader.characterOffset()))
                return Fault;
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

// Where the first node of a document whose first node is not its root
// element starts, and what it is; nothing for a document that starts with
// its root element, or holds none.
std::optional<Xml_Leading_Node> Leading_Node(const pugi::xml_document& Doc, const QString& Text)
{
    const pugi::xml_node First = Doc.first_child();
    if (!First || First.type() == pugi::node_element || !Doc.document_element())
        return std::nullopt;
    Xml_Leading_Node Found;
    switch (First.type()) {
    case pugi::node_doctype: Found.What = Xml_Leading_Node::Kind::Document_Type; break;
    case pugi::node_declaration: Found.What = Xml_Leading_Node::Kind::Declaration; break;
    case pugi::node_pi: Found.What = Xml_Leading_Node::Kind::Processing_Instruction; break;
    default: Found.What = Xml_Leading_Node::Kind::Comment; break;
    }
    // Only blanks may stand before it; Text starts after any byte-order mark.
    qsizetype At = 0;
    while (At < Text.size() && (Text[At] == u' ' || Text[At] == u'\t' || Text[At] == u'\r' || Text[At] == u'\n'))
        ++At;
    std::tie(Found.Line, Found.Column) = End_Of(Text.left(At));
    return Found;
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
    Clear();
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
    Clear();
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
    if (Result) {
        if (Doc.first_child().type() != pugi::node_element)
            Leading = Leading_Node(Doc, Decode(Data, Source, Mark).Text);
        return Load_Status::Loaded;
    }
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
