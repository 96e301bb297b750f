#include "checks/Variable_Placement.h"

#include "checks/Check_Texts.h"
#include "foundation/Text_Rules.h"
#include "foundation/Lang_Strings.h"

#include <algorithm>

namespace Variable_Placement {

namespace {

namespace Slot = Checks::Text_Slot;

// Field indexes in a row of attribute texts.
enum Field : int { F_Enable = 0, F_Name, F_Type, F_Length, F_ReadOnly, F_Position, F_StartBit };

QString Field_Of(const QStringList& Row, int Index) { return Index < Row.size() ? Row[Index] : QString(); }

// The type as the compiler reads it: trimmed, any letter case, anything unknown an Int.
Variable_Type Type_Of(const QString& Text)
{
    const QString Upper = Ascii_Upper(Trimmed(Text));
    if (Upper == QLatin1String("FLOAT"))
        return Variable_Type::Float;
    if (Upper == QLatin1String("DIGITAL (BIT)"))
        return Variable_Type::Digital;
    return Variable_Type::Int;
}

bool Shares(const Placed_Variable& A, const Placed_Variable& B)
{
    return A.First <= B.Last && B.First <= A.Last;
}

void Add_Overlap(Analysis& Result, const Placed_Variable& A, const Placed_Variable& B)
{
    if (!Shares(A, B))
        return;
    const bool Both_Digital = A.Type == Variable_Type::Digital && B.Type == Variable_Type::Digital;
    if (Both_Digital) {
        if (A.Bit != B.Bit)
            return;
        Result.Findings.append({Finding_Kind::Bit_Overlap, {A.Row, B.Row}, A.First, A.First, A.Bit, 1});
    } else {
        Result.Findings.append(
            {Finding_Kind::Byte_Overlap, {A.Row, B.Row}, std::max(A.First, B.First), std::min(A.Last, B.Last), -1, 0});
    }
    for (qint64 Byte = std::max(A.First, B.First); Byte <= std::min(A.Last, B.Last) && Byte < Array_Size; ++Byte)
        Result.Collides[static_cast<size_t>(Byte)] = true;
}

std::optional<Placed_Variable> Place(const QStringList& Row, int Row_Number, Analysis& Result)
{
    Placed_Variable Item;
    Item.Row = Row_Number;
    Item.Name = Field_Of(Row, F_Name);
    Item.Type = Type_Of(Field_Of(Row, F_Type));
    const auto Position = Read_Integer(Field_Of(Row, F_Position));
    if (!Position || *Position < 0)
        return std::nullopt;
    Item.First = *Position;
    if (Item.Type == Variable_Type::Digital) {
        // The compiler gives a digital variable one byte whatever its Length says.
        const auto Bit = Read_Integer(Field_Of(Row, F_StartBit));
        if (!Bit)
            return std::nullopt;
        Item.Last = Item.First;
        if (*Bit < 0 || *Bit > 7) {
            Result.Findings.append({Finding_Kind::Bad_Bit, {Row_Number}, Item.First, Item.First, *Bit, 1});
            return std::nullopt;
        }
        Item.Bit = *Bit;
        return Item;
    }
    const auto Length = Read_Integer(Field_Of(Row, F_Length));
    if (!Length || *Length < 1)
        return std::nullopt;
    Item.Last = Item.First + *Length - 1;
    if (Item.Type == Variable_Type::Float && *Length != 4)
        Result.Findings.append({Finding_Kind::Float_Length, {Row_Number}, Item.First, Item.Last, -1, *Length});
    if (!Trimmed(Field_Of(Row, F_StartBit)).isEmpty())
        Result.Findings.append({Finding_Kind::Start_Bit_Ignored, {Row_Number}, Item.First, Item.Last, -1, *Length});
    return Item;
}

} // namespace

int Analysis::First_Row_Involved() const
{
    int First = 0;
    for (const Finding& Item : Findings)
        for (int Row : Item.Rows)
            if (First == 0 || Row < First)
                First = Row;
    return First;
}

Analysis Analyse(const QList<QStringList>& Rows)
{
    Analysis Result;
    for (int Index = 0; Index < Rows.size(); ++Index) {
        const QStringList& Row = Rows[Index];
        if (Trimmed(Field_Of(Row, F_Name)).isEmpty())
            break;
        if (Field_Of(Row, F_Enable) != QLatin1String("Y"))
            continue;
        if (const auto Item = Place(Row, Index + 1, Result)) {
            if (Item->Last >= Array_Size)
                Result.Findings.append({Finding_Kind::Past_End, {Item->Row}, std::max<qint64>(Item->First, Array_Size),
                                        Item->Last, -1, Item->Last - Item->First + 1});
            for (const Placed_Variable& Earlier : Result.Variables)
                Add_Overlap(Result, Earlier, *Item);
            const int Own = static_cast<int>(Result.Variables.size());
            for (qint64 Byte = Item->First; Byte <= Item->Last && Byte < Array_Size; ++Byte)
                Result.Users[static_cast<size_t>(Byte)].append(Own);
            Result.Variables.append(*Item);
        }
    }
    // Findings by the first row involved, so the question reads top to bottom.
    std::stable_sort(Result.Findings.begin(), Result.Findings.end(),
                     [](const Finding& A, const Finding& B) { return A.Rows.constFirst() < B.Rows.constFirst(); });
    for (int Byte = 0; Byte < Array_Size; ++Byte) {
        if (!Result.Users[static_cast<size_t>(Byte)].isEmpty())
            continue;
        if (!Result.Free.isEmpty() && Result.Free.last().Last == Byte - 1)
            Result.Free.last().Last = Byte;
        else
            Result.Free.append({Byte, Byte});
    }
    return Result;
}

QString Bytes_Text(qint64 First, qint64 Last, const Lang_Table& Lang)
{
    if (First == Last)
        return Lang[Slot::One_Byte].arg(First);
    return Lang[Slot::Bytes].arg(First).arg(Last);
}

QString Finding_Text(const Finding& Item, const Lang_Table& Lang)
{
    const int Row = Item.Rows.constFirst();
    switch (Item.Kind) {
    case Finding_Kind::Byte_Overlap:
        return Lang[Slot::Byte_Overlap].arg(Row).arg(Item.Rows.value(1)).arg(Bytes_Text(Item.First, Item.Last, Lang));
    case Finding_Kind::Bit_Overlap:
        return Lang[Slot::Bit_Overlap].arg(Row).arg(Item.Rows.value(1)).arg(Item.Bit).arg(Item.First);
    case Finding_Kind::Past_End:
        return Lang[Slot::Past_End].arg(Row).arg(Array_Size - 1).arg(Bytes_Text(Item.First, Item.Last, Lang));
    case Finding_Kind::Float_Length:
        return Lang[Slot::Float_Length].arg(Row).arg(Item.Length).arg(Bytes_Text(Item.First, Item.Last, Lang));
    case Finding_Kind::Start_Bit_Ignored:
        return Lang[Slot::Start_Bit_Ignored].arg(Row).arg(Bytes_Text(Item.First, Item.Last, Lang));
    case Finding_Kind::Bad_Bit:
        return Lang[Slot::Bad_Bit].arg(Row).arg(Item.Bit).arg(Bytes_Text(Item.First, Item.Last, Lang));
    }
    return {};
}

QStringList Finding_Texts(const Analysis& Result, const Lang_Table& Lang)
{
    QStringList Texts;
    for (const Finding& Item : Result.Findings)
        Texts.append(Finding_Text(Item, Lang));
    return Texts;
}

QString Free_Text(const Analysis& Result, const Lang_Table& Lang)
{
    if (Result.Free.isEmpty())
        return Lang[Slot::No_Free_Byte];
    QStringList Ranges;
    for (const Byte_Range& Range : Result.Free)
        Ranges.append(Range.First == Range.Last ? QString::number(Range.First)
                                                : Lang[Slot::Free_Range].arg(Range.First).arg(Range.Last));
    return Lang[Slot::Free_Bytes].arg(Ranges.join(QStringLiteral(", ")));
}

} // namespace Variable_Placement
