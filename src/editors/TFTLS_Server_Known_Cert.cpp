#include "editors/TFTLS_Server_Known_Cert.h"
#include "checks/Project_Checks.h"

#include "certificates/Certificate_Checks.h"
#include "certificates/Certificate_Texts.h"
#include "certificates/Pem_Contents.h"
#include "certificates/Ui_Pem_Tools.h"
#include "editors/List_Files.h"
#include "project/Par_Gen_File.h"
#include "editors/Ui_Certificate_Delegate.h"
#include "editors/Ui_Table_Undo.h"
#include "editors/Ui_Table_View.h"
#include "foundation/Text_Rules.h"
#include "platform/Prompter.h"
#include "platform/Ui_Open_File_Dialog.h"
#include "platform/Xml_File.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QHeaderView>
#include <QPushButton>

namespace T = TLS_Known_Cert;
namespace Slot = Certificates::Text_Slot;

namespace {
constexpr int Known_Row_Gap = 8;  // between the row commands and OK
}

TFTLS_Server_Known_Cert::TFTLS_Server_Known_Cert(Workspace& Space_, Prompter& Prompts_, QWidget* Parent,
                                                 Open_File_Dialog* Open_Dialog_)
    : List_Editor(Space_, Prompts_, Check_Kind::State_Check, T::Data_Rows + 1, T::Columns, Known_Cert_Text::Title,
                  QStringLiteral("ASG"), Parent),
      Own_Open_Dialog(Open_Dialog_ ? nullptr : std::make_unique<Qt_Open_File_Dialog>()),
      Open_Dialog(Open_Dialog_ ? Open_Dialog_ : Own_Open_Dialog.get())
{
    setObjectName(QStringLiteral("TFTLS_Server_Known_Cert"));
    Init_Table();
    constexpr int Width = 840;
    constexpr int Height = 400;
    Lay_Out(Width, Height);
    Btn_LoadRow = new QPushButton(this);
    Btn_LoadRow->setObjectName(QStringLiteral("Btn_LoadRow"));
    Btn_LoadRow->setAutoDefault(false);
    // Beside the other row buttons.
    Btn_LoadRow->setGeometry(12 + 4 * 116, Height - 12 - 32, 110, 32);
    connect(Btn_LoadRow, &QPushButton::clicked, this, &TFTLS_Server_Known_Cert::Btn_LoadRowClick);
    if (auto* Paste = findChild<QPushButton*>(QStringLiteral("Btn_PasteRow"))) {
        if (auto* Ok = findChild<QPushButton*>(QStringLiteral("Btn_OK"))) {
            setTabOrder(Paste, Btn_LoadRow);
            setTabOrder(Btn_LoadRow, Ok);
        }
    }
    Set_Lang();
}

TFTLS_Server_Known_Cert::~TFTLS_Server_Known_Cert() = default;

void TFTLS_Server_Known_Cert::Init_Table()
{
    T::Init_Table(Table);
    T::Reset(Table);
    Certificates_Column = new Certificate_Delegate(Table, Space, Grid);
    Grid->setItemDelegateForColumn(T::Col_Certificate - 1, Certificates_Column);
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
    if (Btn_LoadRow) {
        Btn_LoadRow->setText(Space.Str(Slot::Load_Row_Button));
        Btn_LoadRow->setAccessibleName(Space.Str(Slot::Load_Row_Button));
        Btn_LoadRow->setToolTip(Space.Str(Slot::Load_Row_Hint));
        // It closes the row of row commands, which grow with their texts.
        QList<QWidget*> Row;
        for (const char* Name : {"Btn_DelRow", "Btn_InsRow", "Btn_CopyRow", "Btn_PasteRow"})
            Row.append(findChild<QPushButton*>(QLatin1String(Name)));
        Row.append(Btn_LoadRow);
        const int Right = Fit_Row_Left(Row);
        // Where the row commands would reach OK, the window grows instead.
        const QList<QWidget*> Closing{findChild<QPushButton*>(QStringLiteral("Btn_OK")),
                                      findChild<QPushButton*>(QStringLiteral("Btn_Cancel"))};
        const int Extra = std::max(0, Right + Known_Row_Gap - Fit_Row_Right(Closing));
        Widen_Window(this, Extra);
        Fit_Row_Right(Closing, Extra);
        const QRect Grid_Place = Laid_Out_Geometry(Grid);
        Grid->resize(Grid_Place.width() + Extra, Grid_Place.height());
    }
}

void TFTLS_Server_Known_Cert::Load_Table()
{
    T::Load(Space.File_TLS_Known_Cert, Table);
    if (const auto Defaults = Checks::Read_As_Defaults_Message(Space.File_TLS_Known_Cert, Space.Lang_Strings))
        Prompts.Error(*Defaults);
}

std::expected<void, Write_Error> TFTLS_Server_Known_Cert::Save_Table() { return T::Save(Space.File_TLS_Known_Cert, Table); }

QByteArray TFTLS_Server_Known_Cert::Table_Bytes() const { return T::To_Bytes(Table); }

QString TFTLS_Server_Known_Cert::File_Path() const { return Space.File_TLS_Known_Cert; }

bool TFTLS_Server_Known_Cert::Only_Known_In_Force() const
{
    try {
        const Par_Gen::Values General = Par_Gen::Load(Space.File_ParGen);
        return General.Is_Checked(Par_Gen::TLS_Server_Enable) && General.Is_Checked(Par_Gen::TLS_Server_Enable_Known_Cert);
    } catch (const Xml_Parse_Error&) {
        // The general parameters editor reports its own file; the list is saved on its own merits.
        return false;
    }
}

void TFTLS_Server_Known_Cert::Select_Certificate(int Row)
{
    Table.Set_Current(Row, T::Col_Certificate);
    Grid->setCurrentIndex(Table.index(Row - 1, T::Col_Certificate - 1));
    Grid->setFocus();
}

bool TFTLS_Server_Known_Cert::Controllo_dati()
{
    // The rows the file receives: up to the first without a certificate.
    Checks::Known_Cert_Input Input;
    for (int Row = 1; Row < Table.Row_Count() && !Trimmed(Table.Cell(Row, T::Col_Certificate)).isEmpty(); ++Row) {
        List_File::Stored_Row Stored;
        Stored.Values = {Table.Checked(Row, T::Col_Enable) ? QStringLiteral("Y") : QStringLiteral("N"),
                         Table.Cell(Row, T::Col_Certificate), Table.Cell(Row, T::Col_Mnemonic)};
        Input.Rows.append(Stored);
    }
    Input.Only_Known_In_Force = Only_Known_In_Force();
    Input.Now = QDateTime::currentDateTimeUtc();
    const QList<Checks::Finding> Findings = Checks::Check_Known_Cert(Input, Space.Lang_Strings);
    if (const std::optional<Checks::Finding> Error = Checks::First_Error(Findings)) {
        Prompts.Error(Error->Text);
        Select_Certificate(Error->Rows.value(0));
        return false;
    }
    const QList<Checks::Finding> Warnings = Checks::Warnings_Of(Findings);
    return Warnings.isEmpty()
           || Prompts.Warn_Default_No(
               Checks::Warnings_Question(Warnings, Slot::List_Warnings_Intro, Space.Lang_Strings));
}

void TFTLS_Server_Known_Cert::Btn_LoadRowClick()
{
    const int Row = Table.Current_Row();
    const std::optional<QString> Pem = Ask_Pem_File(*Open_Dialog, Prompts, Space.Lang_Strings, Space.Project_Dir, false);
    if (!Pem)
        return;
    // A key file is refused here already: the list is sent to the device as public material.
    // (Ask_Pem_File has read it: the reader is there.)
    if (const Certificates::Pem_Reading Read = Certificates::Read_Pem(*Pem); Read && !Read->Keys.isEmpty()) {
        Prompts.Error(Space.Str(Slot::Key_In_List).arg(Space.Str(Slot::Row_Name).arg(Row)));
        return;
    }
    Undo->Step(Space.Str(Known_Cert_Text::Load_Step).arg(Row), [&] { Table.Set_Cell(Row, T::Col_Certificate, *Pem); });
    Select_Certificate(Row);
}

int TFTLS_Server_Known_Cert::Key_Column() const { return T::Col_Certificate; }
