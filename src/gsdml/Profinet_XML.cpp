#include "gsdml/Profinet_XML.h"

#include "foundation/Text_Rules.h"
#include "gsdml/Profinet_XML_Lines.h"
#include "platform/File_Write.h"
#include "foundation/Workspace.h"

#include <iterator>

namespace {

void Add_Line(QByteArray& Text, const QByteArray& Line)
{
    Text += Line;
    Text += "\r\n";
}

template <std::size_t N>
void Add_Lines(QByteArray& Text, const char* const (&Lines)[N])
{
    for (const char* Line : Lines)
        Add_Line(Text, Line);
}

} // namespace

QString Escape_Attribute(const QString& Text)
{
    QString Escaped;
    Escaped.reserve(Text.size());
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text[I];
        if (C.isHighSurrogate() && I + 1 < Text.size() && Text[I + 1].isLowSurrogate()) {
            Escaped += C;
            Escaped += Text[++I];
            continue;
        }
        switch (C.unicode()) {
        case u'&': Escaped += QStringLiteral("&amp;"); break;
        case u'<': Escaped += QStringLiteral("&lt;"); break;
        case u'>': Escaped += QStringLiteral("&gt;"); break;
        case u'"': Escaped += QStringLiteral("&quot;"); break;
        case u'\t': Escaped += QStringLiteral("&#9;"); break;
        case u'\n': Escaped += QStringLiteral("&#10;"); break;
        case u'\r': Escaped += QStringLiteral("&#13;"); break;
        default:
            // XML cannot carry the other control characters, an unpaired
            // surrogate or the two non-characters, not even as references (a
            // hand-edited ParGen.xml can hold them as &#1;): the engineering
            // tool would refuse the whole file, so they are replaced.
            const bool Allowed = C.unicode() >= 0x20 && !C.isSurrogate() && C.unicode() != 0xFFFE
                                 && C.unicode() != 0xFFFF;
            Escaped += Allowed ? C : QChar(QChar::ReplacementCharacter);
        }
    }
    return Escaped;
}

QByteArray Compose_Profinet_XML(const Profinet_Par& Par)
{
    using namespace Profinet_XML_Lines;
    const QByteArray Name = Escape_Attribute(Par.Name_Station).toUtf8();
    QByteArray Text("\xEF\xBB\xBF");
    Text.reserve(12 * 1024);
    Add_Lines(Text, Head);
    Add_Line(Text, QByteArray(Access_Point_Begin) + Name + Access_Point_Between + Name + Access_Point_End);
    Add_Lines(Text, Access_Point_Body);
    // Seen from the controller: its input is what the converter sends.
    Add_Line(Text, Input_Begin + QByteArray::number(Par.Output_Bytes) + Input_End);
    Add_Line(Text, Output_Begin + QByteArray::number(Par.Input_Bytes) + Output_End);
    Add_Lines(Text, Tail);
    return Text;
}

static_assert(std::size(Profinet_XML_Lines::Head) + 1 + std::size(Profinet_XML_Lines::Access_Point_Body) + 2
                  + std::size(Profinet_XML_Lines::Tail)
              == Profinet_XML_Line_Count);

Profinet_Par Read_Profinet_Par(const Par_Gen::Stored& File)
{
    using namespace Par_Gen;
    Profinet_Par Par;
    Par.Input_Bytes = File.Integer(PROFINET_NB_IN, Reader::Gsdml);
    Par.Output_Bytes = File.Integer(PROFINET_NB_OUT, Reader::Gsdml);
    Par.Name_Station = File.Text(PROFINET_NAME_STA, Reader::Gsdml);
    return Par;
}

Profinet_XML::Profinet_XML(const Workspace& Space_) : Space(Space_) {}

void Profinet_XML::Load_Profinet_Par() { Par = Read_Profinet_Par(Par_Gen::Stored::Read(Space.File_ParGen)); }

std::expected<void, Write_Error> Profinet_XML::Create_Profinet_XML(const QString& Path)
{
    Load_Profinet_Par();
    return Write_File_Atomic(Path, Compose_Profinet_XML(Par));
}
