#include "editors/TFIEC61850_Variables.h"

#include "foundation/Text_Rules.h"
#include "editors/List_Files.h"
#include "project/List_File.h"
#include "project/Variables_File.h"
#include "editors/Table_Rows.h"
#include "editors/Ui_Table_Undo.h"
#include "editors/Ui_Table_View.h"
#include "editors/Ui_Variable_Map.h"
#include "widgets/Ui_Dialog_Place.h"
#include "checks/Project_Checks.h"
#include "checks/Variable_Placement.h"
#include "editors/Variables_Csv.h"
#include "platform/Open_File_Dialog.h"
#include "platform/Prompter.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScreen>
#include <QPushButton>

namespace V = IEC61850_Variables;

namespace {

constexpr int Width = 1100;
constexpr int Height = 640;
constexpr int Grid_Top = 68;
constexpr int Grid_Height = 516;  // what the table keeps with the map shown
constexpr int Map_Height = Variable_Map::Lines * 12;
constexpr int Variables_Info_Height = 20;
constexpr int Map_Extra = 8 + Map_Height + 4 + Variables_Info_Height;
// The least the table keeps when the dialog with the map must shrink to fit
// the screen: its header and five rows.
constexpr int Min_Grid_Height = 24 + 5 * 22;
// The laid-out column widths; a column grows when its header needs more.
constexpr int Column_Widths[12] = {54, 140, 96, 56, 68, 64, 64, 96, 90, 50, 74, 170};

// The user's dialog, remembering the file chosen so that the question can name it.
class Remembering_Open_Dialog : public Open_File_Dialog {
public:
    explicit Remembering_Open_Dialog(Open_File_Dialog& Inner_) : Inner(Inner_) {}
    std::optional<QString> Ask_Open_Path(const Open_File_Request& Request) override
    {
        auto Path = Inner.Ask_Open_Path(Request);
        Chosen = Path.value_or(QString());
        return Path;
    }
    QString Chosen;

private:
    Open_File_Dialog& Inner;
};

} // namespace

TFIEC61850_Variables::TFIEC61850_Variables(Workspace& Space_, Prompter& Prompts_, Decimal_Separator* Separator_,
                                           Save_File_Dialog* Save_Dialog_, Open_File_Dialog* Open_Dialog_,
                                           QWidget* Parent)
    : List_Editor(Space_, Prompts_, Check_Kind::Text_Check, V::Data_Rows + 1, V::Columns, Variables_Text::Title,
                  QStringLiteral("ACG"), Parent),
      Separator(Separator_), Save_Dialog(Save_Dialog_), Open_Dialog(Open_Dialog_)
{
    setObjectName(QStringLiteral("TFIEC61850_Variables"));
    V::Init_Table(Table);
    V::Reset(Table);

    const auto Button = [this](const QString& Name, void (TFIEC61850_Variables::*Click)()) {
        auto* Made = new QPushButton(this);
        Made->setObjectName(Name);
        Made->setAutoDefault(false);
        connect(Made, &QPushButton::clicked, this, Click);
        return Made;
    };
    Btn_ExportCsv = Button(QStringLiteral("Btn_ExportCsv"), &TFIEC61850_Variables::Btn_ExportCsvClick);
    Btn_ImportCsv = Button(QStringLiteral("Btn_ImportCsv"), &TFIEC61850_Variables::Btn_ImportCsvClick);
    Btn_Map = Button(QStringLiteral("Btn_Map"), &TFIEC61850_Variables::Btn_MapClick);
    Btn_Map->setCheckable(true);
    Map = new Variable_Map(Space.Lang_Strings, this);
    L_Map_Info = new QLabel(this);
    L_Map_Info->setObjectName(QStringLiteral("L_Map_Info"));
    L_Map_Info->setTextFormat(Qt::PlainText);
    L_Map_Info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(Map, &Variable_Map::Hovered, L_Map_Info, &QLabel::setText);
    connect(Map, &Variable_Map::Row_Clicked, this, &TFIEC61850_Variables::Make_Row_Current);
    // Only the columns that place a variable move it on the map.
    connect(&Table, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& From, const QModelIndex& To) {
        if (From.column() + 1 <= V::Col_StartBit && To.column() + 1 >= V::Col_Enable)
            Refresh_Map();
    });
    connect(&Table, &QAbstractItemModel::modelReset, this, &TFIEC61850_Variables::Refresh_Map);

    Place_Controls();
    for (int Column = 0; Column < 12; ++Column)
        Grid->setColumnWidth(Column, Column_Widths[Column]);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->setMinimumWidth(34);
    Refresh_Map();
    Set_Lang();
}

// With the map shown the dialog is taller than many screens: the table gives
// up rows until the dialog fits the screen it is on, and the dialog moves up
// so that its buttons stay reachable.
int TFIEC61850_Variables::Needed_Map_Shrink() const
{
    const QScreen* On = screen();
    if (!Showing_Map || !On)
        return 0;
    const int Frame = std::max(0, frameGeometry().height() - height());
    const int Over = Height + Map_Extra + Frame - On->availableGeometry().height();
    return std::clamp(Over, 0, Grid_Height - Min_Grid_Height);
}

void TFIEC61850_Variables::Place_Controls()
{
    Map_Shrink = Needed_Map_Shrink();
    Lay_Out(Width, Height + (Showing_Map ? Map_Extra - Map_Shrink : 0));
    // The buttons moved with the dialog's height: their texts are fitted from here.
    for (QWidget* Control : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        Forget_Laid_Out_Geometry(Control);
    Forget_Laid_Out_Geometry(this);
    setTabOrder(findChild<QPushButton*>(QStringLiteral("Btn_PasteRow")), Btn_ExportCsv);
    setTabOrder(Btn_ExportCsv, Btn_ImportCsv);
    setTabOrder(Btn_ImportCsv, Btn_Map);
    setTabOrder(Btn_Map, findChild<QPushButton*>(QStringLiteral("Btn_OK")));
    Map->setVisible(Showing_Map);
    L_Map_Info->setVisible(Showing_Map);
    Fit_Buttons();
}

// The CSV and map buttons follow the row commands; when a language's longer
// captions leave no room before OK, the dialog grows wider.
void TFIEC61850_Variables::Fit_Buttons()
{
    auto* Paste = findChild<QPushButton*>(QStringLiteral("Btn_PasteRow"));
    auto* OK = findChild<QPushButton*>(QStringLiteral("Btn_OK"));
    auto* Cancel = findChild<QPushButton*>(QStringLiteral("Btn_Cancel"));
    int X = Paste->geometry().right() + 1 + 6;
    for (QPushButton* Extra : {Btn_ExportCsv, Btn_ImportCsv, Btn_Map}) {
        const int Button_Width = std::max(110, Text_Width(Extra));
        Extra->setGeometry(X, Paste->y(), Button_Width, Paste->height());
        X += Button_Width + 6;
    }
    const int Growth = std::max({0, X - 6 + 24 - Fit_Row_Right({OK, Cancel}), Table_Growth});
    Widen_Window(this, Growth);
    Fit_Row_Right({OK, Cancel}, Growth);
    Place_Undo_Buttons();
    const int Inner = width() - 24;
    const int Kept = Grid_Height - Map_Shrink;
    Grid->setGeometry(12, Grid_Top, Inner, Showing_Map ? Kept : Paste->y() - 12 - Grid_Top);
    const int Map_Y = Grid_Top + Kept + 8;
    Map->setGeometry(12, Map_Y, Inner, Map_Height);
    L_Map_Info->setGeometry(12, Map_Y + Map_Height + 4, Inner, Variables_Info_Height);
}

// A header longer than its laid-out column widens it; the last column,
// stretched to the table's width, gives the room back as far as its own
// header allows, and the dialog widens for the rest, so that the table does
// not start to scroll sideways.
void TFIEC61850_Variables::Fit_Columns()
{
    const QHeaderView* Header = Grid->horizontalHeader();
    int Grown = 0;
    for (int Column = 0; Column < 11; ++Column) {
        const int Wanted = std::max(Column_Widths[Column], Header->sectionSizeHint(Column));
        Grown += Wanted - Column_Widths[Column];
        Grid->setColumnWidth(Column, Wanted);
    }
    const int Last = std::max(Column_Widths[11] - Grown, Header->sectionSizeHint(11));
    Grid->setColumnWidth(11, Last);
    Table_Growth = Last - (Column_Widths[11] - Grown);
}

void TFIEC61850_Variables::Set_Table_Texts()
{
    V::Set_Headers(Table, Space.Lang_Strings);
    Hint_List.clear();
    for (int Column = 1; Column < V::Columns; ++Column)
        Hint_List.append(Space.Str(V::Hint_Slot(Column)));
    const auto Texts = [this](QPushButton* Target, int Caption, int Hint) {
        Target->setText(Space.Str(Caption));
        Target->setAccessibleName(Space.Str(Caption));
        Target->setToolTip(Hint >= 0 ? Space.Str(Hint) : QString());
    };
    Texts(Btn_ExportCsv, Variables_Text::Export_Button, Variables_Text::Export_Hint);
    Texts(Btn_ImportCsv, Variables_Text::Import_Button, Variables_Text::Import_Hint);
    Texts(Btn_Map, Showing_Map ? Variables_Text::Hide_Map_Button : Variables_Text::Show_Map_Button,
          Variables_Text::Map_Title);
    Map->Set_Lang();
    Fit_Columns();
    Fit_Buttons();
}

void TFIEC61850_Variables::Load_Table()
{
    V::Load(Space.File_IEC61850_Variables, Table);
    NByte_IN = V::Data_Array_Size;
    if (const auto Defaults = Checks::Read_As_Defaults_Message(Space.File_IEC61850_Variables, Space.Lang_Strings))
        Prompts.Error(*Defaults);
}

bool TFIEC61850_Variables::Controllo_dati()
{
    const QChar Decimal = Separator ? Get_Decimal_Separator(*Separator) : QLatin1Char(',');
    if (const auto Problem = V::Find_Problem(Table, Decimal, NByte_IN, Space.Lang_Strings)) {
        Prompts.Error(Problem->Text);
        Go_To_Cell(Problem->Row, Problem->Column);
        return false;
    }
    return true;
}

bool TFIEC61850_Variables::Accept_Before_Save()
{
    const QChar Decimal = Separator ? Get_Decimal_Separator(*Separator) : QLatin1Char(',');
    const QList<Checks::Finding> Warnings =
        Checks::Warnings_Of(Checks::Check_Variables(V::Check_Input(Table, Decimal, NByte_IN), Space.Lang_Strings));
    if (Warnings.isEmpty())
        return true;
    QStringList Texts;
    int First_Row = 0;
    for (const Checks::Finding& F : Warnings) {
        Texts.append(F.Text);
        for (const int Row : F.Rows)
            First_Row = First_Row == 0 ? Row : std::min(First_Row, Row);
    }
    const QString Question = Space.Str(Variables_Text::Placement_Intro) + QStringLiteral("\n\n") + Texts.join(u'\n')
                             + QStringLiteral("\n\n") + Space.Str(Variables_Text::Save_Anyway);
    if (Prompts.Confirm_Default_No(Question))
        return true;
    Make_Row_Current(First_Row);
    return false;
}

std::expected<void, Write_Error> TFIEC61850_Variables::Save_Table() { return V::Save(Space.File_IEC61850_Variables, Table); }

QByteArray TFIEC61850_Variables::Table_Bytes() const { return V::To_Bytes(Table); }

QList<QStringList> TFIEC61850_Variables::Table_Rows() const { return V::Rows(Table); }

std::optional<List_Editor::Cell_Problem> TFIEC61850_Variables::Paste_Problem(const QList<QStringList>& Rows_After,
                                                                             const QList<QPoint>& Filled) const
{
    Checks::Variables_Input Input;
    Input.Separator = Separator ? Get_Decimal_Separator(*Separator) : QLatin1Char(',');
    Input.NByte_IN = NByte_IN;
    for (const QStringList& Texts : List_File::Rows_To_Write(Rows_After, Variables_File::Name)) {
        List_File::Stored_Row Row;
        for (const QString& Text : Texts)
            Row.Values.append(Text);
        Input.Rows.append(Row);
    }
    // Only what the paste brought in refuses it; a problem elsewhere is OK's to show.
    for (const Checks::Finding& F : Checks::Check_Variables(Input, Space.Lang_Strings)) {
        if (F.Level != Checks::Severity::Error || F.Rows.isEmpty())
            continue;
        const int Row = F.Rows.constLast();
        const int Column = F.Field + 1;
        if (Filled.contains(QPoint(Column, Row)))
            return Cell_Problem{Row, Column, F.Text};
    }
    return std::nullopt;
}

QString TFIEC61850_Variables::File_Path() const { return Space.File_IEC61850_Variables; }

int TFIEC61850_Variables::Key_Column() const { return V::Col_Name; }

void TFIEC61850_Variables::Btn_ExportCsvClick()
{
    if (Save_Dialog)
        Variables_Csv::Export_File(V::Rows(Table), Space.Project_Dir, *Save_Dialog, Prompts, Space.Lang_Strings);
}

void TFIEC61850_Variables::Btn_ImportCsvClick()
{
    if (!Open_Dialog)
        return;
    Remembering_Open_Dialog Dialog(*Open_Dialog);
    const auto Rows = Variables_Csv::Import_File(Space.Project_Dir, Dialog, Prompts, Space.Lang_Strings);
    if (!Rows)
        return;
    // The table's rows are replaced only after the user agreed.
    int Held = 0;
    for (int Row = 1; Row < Table.Row_Count(); ++Row)
        Held += Row_Holds_Data(Table, Row);
    const int Taken = std::min(static_cast<int>(Rows->size()), Table.Row_Count() - 1);
    const QString Name = QFileInfo(Dialog.Chosen).fileName();
    if (Held > 0
        && !Prompts.Confirm_Default_No(Space.Str(Variables_Text::Import_Question).arg(Held).arg(Taken).arg(Name)))
        return;
    Undo->Step(Space.Str(Variables_Text::Import_Step).arg(Name), [&] { V::Set_Rows(Table, *Rows); });
    Make_Row_Current(1);
}

void TFIEC61850_Variables::Complete_Row(int Row, const QString& Name_Before)
{
    if (Row < 1 || Row >= Table.Row_Count() || !Trimmed(Name_Before).isEmpty()
        || Trimmed(Table.Cell(Row, V::Col_Name)).isEmpty())
        return;
    if (!Trimmed(Table.Cell(Row, V::Col_Conversion)).isEmpty()
        || !Trimmed(Table.Cell(Row, V::Col_MultiplicationFactor)).isEmpty())
        return;
    Table.Set_Cell(Row, V::Col_Conversion, QStringLiteral("None"));
    Table.Set_Cell(Row, V::Col_MultiplicationFactor, QStringLiteral("None"));
}

void TFIEC61850_Variables::Btn_MapClick()
{
    Showing_Map = !Showing_Map;
    Btn_Map->setChecked(Showing_Map);
    Place_Controls();
    Set_Lang();
    Keep_On_Screen(this);
}

void TFIEC61850_Variables::Refresh_Map() { Map->Set_Analysis(Variable_Placement::Analyse(V::Rows(Table))); }

void TFIEC61850_Variables::Make_Row_Current(int Row)
{
    if (Row < 1 || Row >= Table.Row_Count())
        return;
    ClickCell(Row, 0);
    Grid->scrollTo(Table.index(Row - 1, 0));
    Grid->setFocus();
}
