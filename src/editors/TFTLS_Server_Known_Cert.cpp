#include "editors/TFTLS_Server_Known_Cert.h"

#include "editors/List_Files.h"
#include "editors/Ui_Table_View.h"
#include "shell/Workspace.h"

#include <QHeaderView>

namespace T = TLS_Known_Cert;

TFTLS_Server_Known_Cert::TFTLS_Server_Known_Cert(Workspace& Space_, Prompter& Prompts_, QWidget* Parent)
    : List_Editor(Space_, Prompts_, Check_Kind::State_Check, T::Data_Rows + 1, T::Columns, 800, QStringLiteral("ASG"),
                  Parent)
{
    setObjectName(QStringLiteral("TFTLS_Server_Known_Cert"));
    Init_Table();
    Lay_Out(840, 400);
    Set_Lang();
}

void TFTLS_Server_Known_Cert::Init_Table()
{
    T::Init_Table(Table);
    T::Reset(Table);
    Grid->setColumnWidth(0, 60);
    Grid->setColumnWidth(1, 470);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->setMinimumWidth(34);
}

void TFTLS_Server_Known_Cert::Set_Table_Texts()
{
    T::Set_Headers(Table, Space.Lang_Strings);
    Hint_List.clear();
    for (int Column = 1; Column < T::Columns; ++Column)
        Hint_List.append(Space.Str(T::Hint_Slot(Column)));
}

void TFTLS_Server_Known_Cert::Load_Table() { T::Load(Space.File_TLS_Known_Cert, Table); }

std::expected<void, Write_Error> TFTLS_Server_Known_Cert::Save_Table() { return T::Save(Space.File_TLS_Known_Cert, Table); }

QString TFTLS_Server_Known_Cert::File_Path() const { return Space.File_TLS_Known_Cert; }

int TFTLS_Server_Known_Cert::Key_Column() const { return T::Col_Certificate; }
