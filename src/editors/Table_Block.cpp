#include "editors/Table_Block.h"

#include "editors/Table_Model.h"
#include "foundation/Text_Rules.h"

#include <optional>

namespace Table_Block {

namespace {

QString Quoted(const QString& Text)
{
    const bool Needs = Text.contains(QLatin1Char('\t')) || Text.contains(QLatin1Char('\n'))
                       || Text.contains(QLatin1Char('\r')) || Text.startsWith(QLatin1Char('"'));
    if (!Needs)
        return Text;
    QString Doubled = Text;
    Doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + Doubled + QLatin1Char('"');
}

QString Box_Text(const Table_Model& Table, int Row, int Column)
{
    const bool On = Table.Kind() == Check_Kind::Text_Check ? Table.Cell(Row, Column) == QLatin1String("Y")
                                                           : Table.Checked(Row, Column);
    return On ? QStringLiteral("Y") : QStringLiteral("N");
}

QString Without_Blanks(const QString& Text)
{
    QString Kept;
    for (const QChar C : Text)
        if (!C.isSpace())
            Kept.append(C);
    return Kept.toCaseFolded();
}

std::optional<bool> Box_Value(const QString& Text)
{
    const QString Word = Trimmed(Text).toLower();
    if (Word == u"y" || Word == u"1" || Word == u"true" || Word == u"x")
        return true;
    if (Word == u"n" || Word == u"0" || Word == u"false" || Word.isEmpty())
        return false;
    return std::nullopt;
}

} // namespace

bool Is_Box(const Table_Model& Table, int Row, int Column)
{
    return Table.Kind() == Check_Kind::Text_Check ? Table.Kind_Of(Column) == Column_Kind::Data_Check_Box
                                                  : Table.Has_Check(Row, Column);
}

int Plan::Width() const
{
    int Widest = 0;
    for (const QStringList& Line : Values)
        Widest = std::max(Widest, static_cast<int>(Line.size()));
    return Widest;
}

QString Copy_Text(const Table_Model& Table, int Top, int Left, int Bottom, int Right, bool Always_Quoted)
{
    if (Top == Bottom && Left == Right && !Always_Quoted)
        return Is_Box(Table, Top, Left) ? Box_Text(Table, Top, Left) : Table.Cell(Top, Left);
    QStringList Lines;
    for (int Row = Top; Row <= Bottom; ++Row) {
        QStringList Cells;
        for (int Column = Left; Column <= Right; ++Column)
            Cells.append(Is_Box(Table, Row, Column) ? Box_Text(Table, Row, Column) : Quoted(Table.Cell(Row, Column)));
        Lines.append(Cells.join(QLatin1Char('\t')));
    }
    return Lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QList<QStringList> Parse(const QString& Text)
{
    QList<QStringList> Lines;
    QStringList Line;
    QString Cell;
    bool Started = false;  // something of the current line has been read
    int I = 0;
    const int N = static_cast<int>(Text.size());
    while (I < N) {
        const QChar C = Text[I];
        if (C == u'"' && Cell.isEmpty()) {
            // A quoted cell runs to the quote that is not doubled.
            int J = I + 1;
            QString Inside;
            bool Closed = false;
            while (J < N) {
                if (Text[J] == u'"') {
                    if (J + 1 < N && Text[J + 1] == u'"') {
                        Inside.append(u'"');
                        J += 2;
                        continue;
                    }
                    Closed = true;
                    break;
                }
                Inside.append(Text[J++]);
            }
            if (Closed) {
                Cell = Inside;
                I = J + 1;
                Started = true;
                // What follows the closing quote up to the next separator belongs to the cell.
                while (I < N && Text[I] != u'\t' && Text[I] != u'\n' && Text[I] != u'\r')
                    Cell.append(Text[I++]);
                continue;
            }
            // An unmatched quote is a plain character.
        }
        if (C == u'\t') {
            Line.append(Cell);
            Cell.clear();
            Started = true;
        } else if (C == u'\n' || C == u'\r') {
            if (C == u'\r' && I + 1 < N && Text[I + 1] == u'\n')
                ++I;
            Line.append(Cell);
            Lines.append(Line);
            Line.clear();
            Cell.clear();
            Started = false;
        } else {
            Cell.append(C);
            Started = true;
        }
        ++I;
    }
    if (Started) {
        Line.append(Cell);
        Lines.append(Line);
    }
    return Lines;
}

QList<QStringList> Lines_For(const Table_Model& Table, int Column, const QString& Text)
{
    QList<QStringList> Lines = Parse(Text);
    const bool One_Cell = Lines.size() == 1 && Lines[0].size() == 1;
    if (!One_Cell && Table.Kind_Of(Column) == Column_Kind::Multi_Line_Text && !Text.contains(QLatin1Char('\t')))
        return {QStringList{Text}};
    return Lines;
}

std::expected<Plan, Refusal> Prepare(const Table_Model& Table, int Row, int Column, const QList<QStringList>& Lines)
{
    Plan Paste;
    Paste.Row = Row;
    Paste.Column = Column;
    const int Last_Row = Table.Row_Count() - 1;
    const int Last_Column = Table.Visible_Column_Count() - 1;
    for (int L = 0; L < Lines.size(); ++L) {
        const int Target_Row = Row + L;
        QStringList Values;
        for (int K = 0; K < Lines[L].size(); ++K) {
            const int Target_Column = Column + K;
            const QString& Value = Lines[L][K];
            if (Target_Column > Last_Column)
                return std::unexpected(Refusal{Refusal::Past_Last_Column, L + 1, K + 1, Target_Column, Value});
            if (Target_Row > Last_Row)
                return std::unexpected(Refusal{Refusal::Past_Last_Row, L + 1, K + 1, Target_Column, Value});
            if (Is_Box(Table, Target_Row, Target_Column)) {
                const std::optional<bool> On = Box_Value(Value);
                if (!On)
                    return std::unexpected(Refusal{Refusal::Refused_Value, L + 1, K + 1, Target_Column, Value});
                Values.append(*On ? QStringLiteral("Y") : QStringLiteral("N"));
                continue;
            }
            QString Stored = Value;
            if (Table.Kind_Of(Target_Column) == Column_Kind::Pick_List && !Trimmed(Value).isEmpty()) {
                Stored.clear();
                for (const QString& Item : Table.Pick_Items(Target_Column))
                    if (Without_Blanks(Item) == Without_Blanks(Value))
                        Stored = Item;
                if (Stored.isEmpty())
                    return std::unexpected(Refusal{Refusal::Refused_Value, L + 1, K + 1, Target_Column, Value});
            } else if (Table.Kind_Of(Target_Column) == Column_Kind::Pick_List) {
                Stored.clear();
            }
            const QString Old = Table.Cell(Target_Row, Target_Column);
            if (!Trimmed(Old).isEmpty() && Old != Stored)
                ++Paste.Overwritten;
            Values.append(Stored);
        }
        Paste.Values.append(Values);
    }
    return Paste;
}

void Apply(Table_Model& Table, const Plan& Paste)
{
    for (int L = 0; L < Paste.Values.size(); ++L) {
        const int Row = Paste.Row + L;
        for (int K = 0; K < Paste.Values[L].size(); ++K) {
            const int Column = Paste.Column + K;
            const QString& Value = Paste.Values[L][K];
            if (Table.Kind() == Check_Kind::State_Check && Table.Has_Check(Row, Column))
                Table.Set_Check(Row, Column, Value == QLatin1String("Y"));
            else
                Table.Set_Cell(Row, Column, Value);
        }
    }
}

} // namespace Table_Block
