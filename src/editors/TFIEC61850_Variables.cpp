#include "editors/TFIEC61850_Variables.h"

#include "editors/Input_Helpers.h"
#include "editors/List_Files.h"
#include "editors/Ui_Table_View.h"
#include "platform/Prompter.h"
#include "shell/Workspace.h"

#include <QHeaderView>

namespace V = IEC61850_Variables;

TFIEC61850_Variables::TFIEC61850_Variables(Workspace& Space_, Prompter& Prompts_, Decimal_Separator* Separator_,
                                           QWidget* Parent)
    : List_Editor(Space_, Prompts_, Check_Kind::Text_Check, V::Data_Rows + 1, V::Columns, 900, QStringLiteral("ACG"),
                  Parent),
      Separator(Separator_)
{
    setObjectName(QStringLiteral("TFIEC61850_Variables"));
    V::Init_Table(Table);
    V::Reset(Table);
    Lay_Out(1100, 640);
    const int Widths[12] = {54, 140, 96, 56, 68, 64, 64, 96, 90, 50, 74, 170};
    for (int Column = 0; Column < 12; ++Column)
        Grid->setColumnWidth(Column, Widths[Column]);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->setMinimumWidth(34);
    Set_Lang();
}

void TFIEC61850_Variables::Set_Table_Texts()
{
    V::Set_Headers(Table, Space.Lang_Strings);
    Hint_List.clear();
    for (int Column = 1; Column < V::Columns; ++Column)
        Hint_List.append(Space.Str(V::Hint_Slot(Column)));
}

void TFIEC61850_Variables::Load_Table()
{
    V::Load(Space.File_IEC61850_Variables, Table);
    NByte_IN = V::Data_Array_Size;
}

bool TFIEC61850_Variables::Controllo_dati()
{
    const QChar Decimal = Separator ? Get_Decimal_Separator(*Separator) : QLatin1Char(',');
    if (const auto Problem = V::Check(Table, Decimal, NByte_IN, Space.Lang_Strings)) {
        Prompts.Error(*Problem);
        return false;
    }
    return true;
}

std::expected<void, Write_Error> TFIEC61850_Variables::Save_Table() { return V::Save(Space.File_IEC61850_Variables, Table); }

QString TFIEC61850_Variables::File_Path() const { return Space.File_IEC61850_Variables; }
