#include "foundation/Lang_Strings.h"

#include "foundation/Default_Strings.h"
#include "foundation/Text_Rules.h"

#include <QFile>
#include <QStringDecoder>

namespace {

constexpr QChar Pilcrow = QChar(0x00B6);

// Windows-1252 bytes 0x80..0x9F; the rest of the code page equals Latin-1.
// Undefined positions map to the C1 control of the same value.
constexpr char16_t Cp1252_High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString Decode_Cp1252(const QByteArray& Bytes)
{
    QString Text;
    Text.reserve(Bytes.size());
    for (const char C : Bytes) {
        const auto B = static_cast<unsigned char>(C);
        Text.append(B >= 0x80 && B < 0xA0 ? QChar(Cp1252_High[B - 0x80]) : QChar(B));
    }
    return Text;
}

} // namespace

void Lang_Table::Set(int I, const QString& Text)
{
    if (I >= 0 && I < Strings.size())
        Strings[I] = Text;
}

void Lang_Table::Clear()
{
    Strings.clear();
    Slot_Count = 0;
}

void Lang_Table::Create_Default_Strings()
{
    Strings.clear();
    Strings.reserve(Default_Count);
    for (int I = 0; I < Default_Count; ++I)
        Strings.append(QStringLiteral(" "));
    for (const Default_String& Entry : Default_String_Entries())
        Strings[Entry.Slot] = QString::fromUtf16(Entry.Text);
    Slot_Count = Default_Count;
}

QString Decode_Lang_File(const QByteArray& Bytes)
{
    if (Bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(Bytes.mid(3));
    if (Bytes.startsWith("\xFF\xFE") || Bytes.startsWith("\xFE\xFF")) {
        QStringDecoder Decoder(Bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Default);
        return Decoder.decode(Bytes.mid(2));
    }
    return Decode_Cp1252(Bytes);
}

bool Apply_Lang_Line(Lang_Table& Table, const QString& Raw_Line)
{
    const QString Line = Trimmed(Raw_Line);
    if (!Line.startsWith(QLatin1String("STR")))
        return false;
    const qsizetype Equals = Line.indexOf(QLatin1Char('='));
    if (Equals < 0)
        return false;
    // The number runs up to the character before "=", which is skipped (the blank).
    const qsizetype Number_Length = Equals - 1 - 3;
    if (Number_Length <= 0)
        return false;
    bool Ok = false;
    const int Slot = Trimmed(Line.mid(3, Number_Length)).toInt(&Ok, 10);
    if (!Ok || Slot < 0 || Slot >= Table.Count())
        return false;
    QString Text = Trimmed(Line.mid(Equals + 1));
    if (Text.isEmpty())
        return false;
    const qsizetype Comment = Text.indexOf(QLatin1String("/#/"));
    if (Comment >= 0) {
        Text = Trimmed(Text.left(Comment));
        if (Text.isEmpty())
            return false;
    }
    if (Text.startsWith(Pilcrow))
        Text.remove(0, 1);
    const qsizetype End_Mark = Text.indexOf(Pilcrow);
    if (End_Mark >= 0)
        Text.truncate(End_Mark);
    Table.Set(Slot, Text);
    return true;
}

void Load_Lang_File(Lang_Table& Table, const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return;
    const QString Text = Decode_Lang_File(File.readAll());
    qsizetype Start = 0;
    const qsizetype Size = Text.size();
    while (Start <= Size) {
        qsizetype End = Start;
        while (End < Size && Text[End] != QLatin1Char('\r') && Text[End] != QLatin1Char('\n'))
            ++End;
        Apply_Lang_Line(Table, Text.mid(Start, End - Start));
        if (End < Size && Text[End] == QLatin1Char('\r') && End + 1 < Size && Text[End + 1] == QLatin1Char('\n'))
            ++End;
        Start = End + 1;
    }
}

QString Make_Lang_Line(int I, const QString& Text)
{
    const bool Needs_Marks = Text != Trimmed(Text) || Text.isEmpty();
    const QString Body = Needs_Marks ? Pilcrow + Text + Pilcrow : Text;
    return QStringLiteral("STR%1 = %2").arg(I).arg(Body);
}
