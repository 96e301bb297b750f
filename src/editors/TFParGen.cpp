#include "editors/TFParGen.h"
#include "editors/Ui_Save_Guard.h"
#include "checks/Project_Checks.h"

#include "certificates/Certificate_Checks.h"
#include "certificates/Certificate_Texts.h"
#include "certificates/Ui_Pem_Tools.h"
#include "editors/Editor_Texts.h"
#include "editors/Ui_Undo_Step.h"
#include "editors/List_Files.h"
#include "editors/Table_Model.h"
#include "widgets/Ui_Collapsible_Group.h"
#include "platform/Xml_File.h"
#include "platform/Prompter.h"
#include "platform/Ui_Open_File_Dialog.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUndoStack>
#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <tuple>

namespace {
constexpr int Par_Gen_Width = 460;
constexpr int Par_Gen_Height = 700;
constexpr int Title_Height = 66;
constexpr int Button_Panel_Height = 50;
constexpr int Group_X = 8;
constexpr int Group_Width = 420;
constexpr int Group_Gap = 6;
constexpr int Bottom_Margin = 12;  // below the last visible control of a group
constexpr int Label_X = 10;
constexpr int Field_X = 160;
constexpr int Row_Height = 24;
constexpr int Byte_Width = 44;
constexpr int Byte_Step = 56;
constexpr int Station_Name_Limit = 15;
constexpr int Load_Width = 76;      // the load button beside a TLS box, room for its longer translations
constexpr int Tls_Info_Height = 18;     // the summary line under a TLS box
constexpr int TLS_Row_Gap = 6;
constexpr int Info_Indent = 12;

// The part a control plays when the label column widens (see Fit_Label_Column).
enum Part { Label_Part = 1, Stretched_Field, Field, Other };
// A pasted key or certificate is seen to be there: its box shows this many lines.
constexpr int Text_Box_Lines = 5;
constexpr int Par_Gen_Row_Gap = 6;

// A multi-line text box a whole number of lines high.
class Lines_Box : public QPlainTextEdit {
public:
    explicit Lines_Box(QWidget* Parent) : QPlainTextEdit(Parent) {}
    void Set_Margins(int Margin) { setViewportMargins(Margin, Margin, Margin, Margin); }
};

// The known certificates as the device receives them. Nothing when the list
// cannot be read.
std::optional<QList<Certificates::Known_Certificate>> Known_Certificates_Of(const QString& Path)
{
    try {
        return Certificates::Known_Certificates_Sent(Path);
    } catch (const Xml_Parse_Error&) {
        return std::nullopt;
    }
}

QString Box_Text(const QPlainTextEdit* Box)
{
    // The raw text: non-breaking spaces and the like stay as typed.
    QString Text = Box->document()->toRawText();
    Text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    Text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return Text;
}
} // namespace

TFParGen::TFParGen(Workspace& Space_, Prompter& Prompts_, QWidget* Parent, Open_File_Dialog* Open_Dialog_)
    : QDialog(Parent),
      Space(Space_),
      Prompts(Prompts_),
      Own_Open_Dialog(Open_Dialog_ ? nullptr : std::make_unique<Qt_Open_File_Dialog>()),
      Open_Dialog(Open_Dialog_ ? Open_Dialog_ : Own_Open_Dialog.get()),
      Guard_Of_File(std::make_unique<Save_Guard>(Space_, Prompts_, this))
{
    FormCreate();
}

TFParGen::~TFParGen()
{
    // The history goes first: its clearing reaches the buttons it keeps up to date.
    QObject::disconnect(History, nullptr, this, nullptr);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    History = nullptr;
}

void TFParGen::Build_Undo()
{
    History = new QUndoStack(this);
    Btn_Undo = Make_Control<QPushButton>(P_Button, QStringLiteral("Btn_Undo"), {12, 9, 90, 32});
    Btn_Redo = Make_Control<QPushButton>(P_Button, QStringLiteral("Btn_Redo"), {108, 9, 90, 32});
    for (QPushButton* Button : {Btn_Undo, Btn_Redo}) {
        Button->setAutoDefault(false);
        // Like a tool bar's: reached by their keys, never a stop of Tab.
        Button->setFocusPolicy(Qt::NoFocus);
    }
    connect(History, &QUndoStack::indexChanged, this, [this] {
        if (!Restoring)
            Is_Change = !History->isClean();
    });
    // What is being typed ends first: it is the step undone or redone.
    Undo_Keys = std::make_unique<Undo_Controls>(*this, *History, Space.Lang_Strings, *Btn_Undo, *Btn_Redo, [this] {
        if (QWidget* Focus = focusWidget(); Focus && (qobject_cast<QLineEdit*>(Focus) || qobject_cast<QPlainTextEdit*>(Focus)))
            Record_Step(Par_Gen_Text::Edit_Step, Focus);
    });
    // A field's edit is a step once the focus leaves it; a field keeps its
    // own undo of what is being typed.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* Old, QWidget*) {
        if (Old && Old->window() == this && (qobject_cast<QLineEdit*>(Old) || qobject_cast<QPlainTextEdit*>(Old)))
            Record_Step(Par_Gen_Text::Edit_Step, Old);
    });
    for (QWidget* Control : Controls)
        if (auto* Check = qobject_cast<QCheckBox*>(Control))
            connect(Check, &QCheckBox::toggled, this, [this, Check] { Record_Step(Par_Gen_Text::Check_Step, Check); });
    // A text field keeps Ctrl+Z while it has typing of its own to undo; then the keys reach the dialog's history.
    for (QWidget* Control : Controls)
        if (qobject_cast<QLineEdit*>(Control) || qobject_cast<QPlainTextEdit*>(Control))
            Control->installEventFilter(this);
}

void TFParGen::Record_Step(int Slot, const QWidget* Control)
{
    if (Restoring || !History)
        return;
    const Par_Gen::Values Now = Read_Controls();
    if (Now.Text == Last_Values.Text) {
        Is_Change = !History->isClean();
        return;
    }
    const QString Name = Control->accessibleName().isEmpty() ? Control->property("text").toString()
                                                             : Control->accessibleName();
    History->push(Undo_Step::Between(Space.Str(Slot).arg(Name), Last_Values, Now,
                                     [this](const Par_Gen::Values& Data) { Restore_Values(Data); }));
    Last_Values = Now;
}

void TFParGen::Restore_Values(const Par_Gen::Values& Data)
{
    Restoring = true;
    Write_Controls(Data);
    Last_Values = Data;
    Restoring = false;
    Is_Change = History->index() != History->cleanIndex();
}

void TFParGen::Btn_UndoClick() { Undo_Keys->Undo_Now(); }

void TFParGen::Btn_RedoClick() { Undo_Keys->Redo_Now(); }

int TFParGen::Make_TLS_Tools(QWidget* Body, QPlainTextEdit* Box, const QString& Name, QPushButton*& Load,
                             Pem_Summary_Label*& Info)
{
    const QRect Place = Box->geometry();
    Box->setGeometry(Place.x(), Place.y(), Place.width() - Load_Width - 6, Place.height());
    Load = Make_Control<QPushButton>(Body, QStringLiteral("Btn_") + Name + QStringLiteral("_Load"),
                                     {Place.right() + 1 - Load_Width, Place.y(), Load_Width,
                                      qMin(Place.height(), Row_Height + 2)});
    Load->setAutoDefault(false);
    connect(Load, &QPushButton::clicked, this, [this, Box] { Load_TLS_File(Box); });
    Info = new Pem_Summary_Label(QStringLiteral("L_") + Name + QStringLiteral("_Info"), Space.Lang_Strings, Body);
    // The line runs under the label column too: a subject with its expiry and key seldom fits under the box alone.
    Info->setGeometry(Label_X + Info_Indent, Place.bottom() + 2, Place.right() + 1 - Label_X - Info_Indent, Tls_Info_Height);
    // A wider label column narrows the box; the button and the line keep their places.
    Box->setProperty("sw_column_part", static_cast<int>(Stretched_Field));
    Load->setProperty("sw_column_part", static_cast<int>(Other));
    Info->setProperty("sw_column_part", static_cast<int>(Other));
    return Info->geometry().bottom() + 1 + TLS_Row_Gap;
}

QLabel* TFParGen::Make_Label(QWidget* Body, const QString& Name, int Y)
{
    return Make_Control<QLabel>(Body, Name, {Label_X, Y + 3, Field_X - Label_X - 6, Row_Height - 4});
}

QLineEdit* TFParGen::Make_Edit(QWidget* Body, const QString& Name, int X, int Y, int W)
{
    auto* Edit = Make_Control<QLineEdit>(Body, Name, {X, Y, W, Row_Height});
    // A line edit cuts text beyond 32767 characters by default; a stored
    // password of any length must come back unchanged.
    Edit->setMaxLength(std::numeric_limits<int>::max());
    connect(Edit, &QLineEdit::textChanged, this, &TFParGen::On_Change);
    return Edit;
}

QToolButton* TFParGen::Make_Secret(QWidget* Body, QLineEdit* Edit)
{
    // Shown as dots; the button beside the field shows it while held down.
    constexpr int Show_Width = Load_Width;  // room for the longer translations, as the load buttons
    Edit->setEchoMode(QLineEdit::Password);
    const QRect Place = Edit->geometry();
    Edit->resize(Place.width() - Show_Width - 4, Place.height());
    auto* Show = Make_Control<QToolButton>(Body, QStringLiteral("Btn_") + Edit->objectName().mid(2) + QStringLiteral("_Show"),
                                           {Place.right() + 1 - Show_Width, Place.y(), Show_Width, Place.height()});
    // Reached by the mouse only: the fields keep their keyboard order.
    Show->setFocusPolicy(Qt::NoFocus);
    connect(Show, &QToolButton::pressed, Edit, [Edit] { Edit->setEchoMode(QLineEdit::Normal); });
    connect(Show, &QToolButton::released, Edit, [Edit] { Edit->setEchoMode(QLineEdit::Password); });
    // A wider label column narrows the field; the button keeps its place.
    Edit->setProperty("sw_column_part", static_cast<int>(Stretched_Field));
    Show->setProperty("sw_column_part", static_cast<int>(Other));
    return Show;
}

QPlainTextEdit* TFParGen::Make_Text_Box(QWidget* Body, const QString& Name, int Y)
{
    QPlainTextEdit* Box = new Lines_Box(Body);
    Box->setObjectName(Name);
    Box->setTabChangesFocus(true);
    Box->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The scroll bar tells that there is more than the box shows.
    Box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Whole lines: the margins lie outside the text area, so no part of a
    // further line peeks in below the last one shown.
    Box->document()->setDocumentMargin(0);
    const int Line = Box->fontMetrics().lineSpacing();
    const int Margin = 3;
    static_cast<Lines_Box*>(Box)->Set_Margins(Margin);
    Box->setGeometry(Field_X, Y, Group_Width - Field_X - 12,
                     Text_Box_Lines * Line + 2 * Box->frameWidth() + 2 * Margin
                         + Box->horizontalScrollBar()->sizeHint().height());
    connect(Box, &QPlainTextEdit::textChanged, this, &TFParGen::On_Change);
    return Box;
}

QCheckBox* TFParGen::Make_Check(QWidget* Body, const QString& Name, int X, int Y, int W)
{
    auto* Check = Make_Control<QCheckBox>(Body, Name, {X, Y, W, Row_Height});
    connect(Check, &QCheckBox::toggled, this, [this, Check] { On_Click(Check); });
    return Check;
}

QLineEdit* TFParGen::Make_Byte_Row(QWidget* Body, const QString& Prefix, int Y, std::array<QLineEdit*, 4>& Bytes)
{
    for (int I = 0; I < 4; ++I) {
        const int X = Field_X + I * Byte_Step;
        Bytes[static_cast<size_t>(I)] = Make_Edit(Body, Prefix + QString::number(I + 1), X, Y, Byte_Width);
        Bytes[static_cast<size_t>(I)]->setAlignment(Qt::AlignRight);
        Bytes[static_cast<size_t>(I)]->installEventFilter(this);
        if (I < 3) {
            auto* Dot = Make_Control<QLabel>(Body, Prefix + QStringLiteral("_Dot%1").arg(I + 1),
                                             {X + Byte_Width, Y, Byte_Step - Byte_Width, Row_Height});
            Dot->setText(QStringLiteral("."));
            Dot->setAlignment(Qt::AlignCenter);
        }
    }
    return Bytes[3];
}

void TFParGen::FormCreate()
{
    setObjectName(QStringLiteral("TFParGen"));
    setFixedWidth(Par_Gen_Width);
    setMinimumHeight(320);
    resize(Par_Gen_Width, Par_Gen_Height);
    setSizeGripEnabled(true);

    auto* Stack = new QVBoxLayout(this);
    Stack->setContentsMargins(0, 0, 0, 0);
    Stack->setSpacing(0);
    Stack->addWidget(Build_Title_Panel());
    Stack->addWidget(Build_Group_Stack(), 1);
    Stack->addWidget(Build_Button_Panel());

    Build_IEC61850_Server();
    Build_TLS_Server();
    Build_PROFINET();
    List_Controls();
    Order_Keyboard();
    Build_Undo();

    for (Collapsible_Group* Group : {CP_IEC61850_Server, CP_TLS_Server, CP_PROFINET})
        connect(Group, &Collapsible_Group::Height_Changed, this, &TFParGen::Stack_Groups);

    Order_TAB_Panels();
    Move_GroupBoxs();
    Set_Lang();
}

QWidget* TFParGen::Build_Title_Panel()
{
    P_Title = Make_Control<QWidget>(this, QStringLiteral("P_Title"));
    P_Title->setFixedHeight(Title_Height);
    Title = Make_Title_Area(P_Title, Par_Gen_Width);
    Title.L_SW_Code->setText(Space.SW_Code);
    return P_Title;
}

QWidget* TFParGen::Build_Group_Stack()
{
    Scroll = Make_Control<QScrollArea>(this, QStringLiteral("Scroll"));
    Scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Scroll->setWidgetResizable(false);
    // The stack itself is no stop in the keyboard order; whichever way a
    // control of it gets the focus (Tab from the buttons included), it is
    // scrolled into view.
    Scroll->setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* Now) {
        if (Now && CPG->isAncestorOf(Now))
            Show_In_Stack(Now);
    });
    CPG = Make_Control<QWidget>(nullptr, QStringLiteral("CPG"));
    Scroll->setWidget(CPG);
    return Scroll;
}

QWidget* TFParGen::Build_Button_Panel()
{
    P_Button = Make_Control<QWidget>(this, QStringLiteral("P_Button"));
    P_Button->setFixedHeight(Button_Panel_Height);
    std::tie(Btn_OK, Btn_Cancel) = Make_Ok_Cancel(P_Button, Par_Gen_Width - 12, 9, {110, 32}, 8);
    Btn_OK->setAutoDefault(false);
    connect(Btn_OK, &QPushButton::clicked, this, &TFParGen::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFParGen::Btn_CancelClick);
    return P_Button;
}

void TFParGen::Build_IEC61850_Server()
{
    CP_IEC61850_Server = new Collapsible_Group(QStringLiteral("CP_IEC61850_Server"), Group_Width, CPG);
    QWidget* Body = CP_IEC61850_Server->Body();
    L_IEC61850_Server_Port = Make_Label(Body, QStringLiteral("L_IEC61850_Server_Port"), 8);
    E_IEC61850_Server_Port = Make_Edit(Body, QStringLiteral("E_IEC61850_Server_Port"), Field_X, 8, 90);
    L_IEC61850_Server_Password = Make_Label(Body, QStringLiteral("L_IEC61850_Server_Password"), 38);
    E_IEC61850_Server_Password = Make_Edit(Body, QStringLiteral("E_IEC61850_Server_Password"), Field_X, 38,
                                           Group_Width - Field_X - 12);
    Btn_IEC61850_Server_Password_Show = Make_Secret(Body, E_IEC61850_Server_Password);
    L_IEC61850_Server_Port->setBuddy(E_IEC61850_Server_Port);
    L_IEC61850_Server_Password->setBuddy(E_IEC61850_Server_Password);
}

void TFParGen::Build_TLS_Server()
{
    CP_TLS_Server = new Collapsible_Group(QStringLiteral("CP_TLS_Server"), Group_Width, CPG);
    QWidget* Body = CP_TLS_Server->Body();
    CB_TLS_Server_Enable = Make_Check(Body, QStringLiteral("CB_TLS_Server_Enable"), Label_X, 8, Group_Width - 20);
    // Each box has its load button beside it and the line telling what it holds below it.
    int Y = 38;
    L_TLS_Server_Key = Make_Label(Body, QStringLiteral("L_TLS_Server_Key"), Y);
    E_TLS_Server_Key = Make_Text_Box(Body, QStringLiteral("E_TLS_Server_Key"), Y);
    Y = Make_TLS_Tools(Body, E_TLS_Server_Key, QStringLiteral("TLS_Server_Key"), Btn_TLS_Server_Key_Load,
                       L_TLS_Server_Key_Info);
    L_TLS_Server_Key_Pass = Make_Label(Body, QStringLiteral("L_TLS_Server_Key_Pass"), Y);
    E_TLS_Server_Key_Pass =
        Make_Edit(Body, QStringLiteral("E_TLS_Server_Key_Pass"), Field_X, Y, Group_Width - Field_X - 12);
    Btn_TLS_Server_Key_Pass_Show = Make_Secret(Body, E_TLS_Server_Key_Pass);
    Y += Row_Height + TLS_Row_Gap;
    L_TLS_Server_Server_Cert = Make_Label(Body, QStringLiteral("L_TLS_Server_Server_Cert"), Y);
    E_TLS_Server_Server_Cert = Make_Text_Box(Body, QStringLiteral("E_TLS_Server_Server_Cert"), Y);
    Y = Make_TLS_Tools(Body, E_TLS_Server_Server_Cert, QStringLiteral("TLS_Server_Server_Cert"),
                       Btn_TLS_Server_Server_Cert_Load, L_TLS_Server_Server_Cert_Info);
    L_TLS_Server_Root_Cert = Make_Label(Body, QStringLiteral("L_TLS_Server_Root_Cert"), Y);
    E_TLS_Server_Root_Cert = Make_Text_Box(Body, QStringLiteral("E_TLS_Server_Root_Cert"), Y);
    Y = Make_TLS_Tools(Body, E_TLS_Server_Root_Cert, QStringLiteral("TLS_Server_Root_Cert"),
                       Btn_TLS_Server_Root_Cert_Load, L_TLS_Server_Root_Cert_Info);
    CB_TLS_Server_En_Known_Cert =
        Make_Check(Body, QStringLiteral("CB_TLS_Server_En_Known_Cert"), Label_X, Y, Group_Width - 20);
    // The summaries follow the texts as they change; the key's also its password.
    const auto Show_Key = [this] { L_TLS_Server_Key_Info->Show(Box_Text(E_TLS_Server_Key), E_TLS_Server_Key_Pass->text()); };
    connect(E_TLS_Server_Key, &QPlainTextEdit::textChanged, this, Show_Key);
    connect(E_TLS_Server_Key_Pass, &QLineEdit::textChanged, this, Show_Key);
    connect(E_TLS_Server_Server_Cert, &QPlainTextEdit::textChanged, this,
            [this] { L_TLS_Server_Server_Cert_Info->Show(Box_Text(E_TLS_Server_Server_Cert)); });
    connect(E_TLS_Server_Root_Cert, &QPlainTextEdit::textChanged, this,
            [this] { L_TLS_Server_Root_Cert_Info->Show(Box_Text(E_TLS_Server_Root_Cert)); });
    L_TLS_Server_Key->setBuddy(E_TLS_Server_Key);
    L_TLS_Server_Key_Pass->setBuddy(E_TLS_Server_Key_Pass);
    L_TLS_Server_Server_Cert->setBuddy(E_TLS_Server_Server_Cert);
    L_TLS_Server_Root_Cert->setBuddy(E_TLS_Server_Root_Cert);
}

void TFParGen::Build_PROFINET()
{
    CP_PROFINET = new Collapsible_Group(QStringLiteral("CP_PROFINET"), Group_Width, CPG);
    QWidget* Body = CP_PROFINET->Body();
    L_PROFINET_IP = Make_Label(Body, QStringLiteral("L_PROFINET_IP"), 8);
    Make_Byte_Row(Body, QStringLiteral("E_PROFINET_IP"), 8, E_PROFINET_IP);
    L_PROFINET_SM = Make_Label(Body, QStringLiteral("L_PROFINET_SM"), 38);
    Make_Byte_Row(Body, QStringLiteral("E_PROFINET_SM"), 38, E_PROFINET_SM);
    CB_PROFINET_GAT = Make_Check(Body, QStringLiteral("CB_PROFINET_GAT"), Label_X, 68, Field_X - Label_X - 6);
    Make_Byte_Row(Body, QStringLiteral("E_PROFINET_GAT"), 68, E_PROFINET_GAT);
    L_PROFINET_TunnelPort = Make_Label(Body, QStringLiteral("L_PROFINET_TunnelPort"), 98);
    E_PROFINET_TunnelPort = Make_Edit(Body, QStringLiteral("E_PROFINET_TunnelPort"), Field_X, 98, 90);
    L_PROFINET_NameStation = Make_Label(Body, QStringLiteral("L_PROFINET_NameStation"), 128);
    E_PROFINET_NameStation =
        Make_Edit(Body, QStringLiteral("E_PROFINET_NameStation"), Field_X, 128, Group_Width - Field_X - 12);
    E_PROFINET_NameStation->setMaxLength(Station_Name_Limit);
    connect(E_PROFINET_NameStation, &QLineEdit::textEdited, this, [this](const QString& Text) {
        // A PROFINET name of station is lower case: whatever the user types or pastes becomes so.
        const QString Lower = Text.toLower();
        if (Lower == Text)
            return;
        const int Cursor = E_PROFINET_NameStation->cursorPosition();
        E_PROFINET_NameStation->setText(Lower);
        E_PROFINET_NameStation->setCursorPosition(Cursor);
    });
    L_PROFINET_NByte_In = Make_Label(Body, QStringLiteral("L_PROFINET_NByte_In"), 158);
    E_PROFINET_NByte_In = Make_Edit(Body, QStringLiteral("E_PROFINET_NByte_In"), Field_X, 158, 90);
    L_PROFINET_NByte_Out = Make_Label(Body, QStringLiteral("L_PROFINET_NByte_Out"), 188);
    E_PROFINET_NByte_Out = Make_Edit(Body, QStringLiteral("E_PROFINET_NByte_Out"), Field_X, 188, 90);
    CB_PROFINET_Diagnostic =
        Make_Check(Body, QStringLiteral("CB_PROFINET_Diagnostic"), Label_X, 218, Field_X - Label_X - 6);
    E_PROFINET_Diagnostic = Make_Edit(Body, QStringLiteral("E_PROFINET_Diagnostic"), Field_X, 218, 90);
    L_PROFINET_TunnelPort->setBuddy(E_PROFINET_TunnelPort);
    L_PROFINET_NameStation->setBuddy(E_PROFINET_NameStation);
    L_PROFINET_NByte_In->setBuddy(E_PROFINET_NByte_In);
    L_PROFINET_NByte_Out->setBuddy(E_PROFINET_NByte_Out);
}

void TFParGen::List_Controls()
{
    Controls = {E_IEC61850_Server_Port,  E_IEC61850_Server_Password, CB_TLS_Server_Enable,
                E_TLS_Server_Key,        E_TLS_Server_Key_Pass,      E_TLS_Server_Server_Cert,
                E_TLS_Server_Root_Cert,  CB_TLS_Server_En_Known_Cert, E_PROFINET_IP[0],
                E_PROFINET_IP[1],        E_PROFINET_IP[2],           E_PROFINET_IP[3],
                E_PROFINET_SM[0],        E_PROFINET_SM[1],           E_PROFINET_SM[2],
                E_PROFINET_SM[3],        E_PROFINET_GAT[0],          E_PROFINET_GAT[1],
                E_PROFINET_GAT[2],       E_PROFINET_GAT[3],          CB_PROFINET_GAT,
                E_PROFINET_TunnelPort,   E_PROFINET_NameStation,     E_PROFINET_NByte_In,
                E_PROFINET_NByte_Out,    CB_PROFINET_Diagnostic,     E_PROFINET_Diagnostic};
    for (int I = 0; I < 4; ++I) {
        Byte_Chain[static_cast<size_t>(I)] = E_PROFINET_IP[static_cast<size_t>(I)];
        Byte_Chain[static_cast<size_t>(4 + I)] = E_PROFINET_SM[static_cast<size_t>(I)];
        Byte_Chain[static_cast<size_t>(8 + I)] = E_PROFINET_GAT[static_cast<size_t>(I)];
    }
}

void TFParGen::Order_Keyboard()
{
    // Keyboard order: the groups 1, 2, 3, each header followed by its controls.
    QList<QWidget*> Order{CP_IEC61850_Server->Header(), E_IEC61850_Server_Port, E_IEC61850_Server_Password,
                          CP_TLS_Server->Header(),      CB_TLS_Server_Enable,   E_TLS_Server_Key,
                          Btn_TLS_Server_Key_Load,      E_TLS_Server_Key_Pass,  E_TLS_Server_Server_Cert,
                          Btn_TLS_Server_Server_Cert_Load, E_TLS_Server_Root_Cert, Btn_TLS_Server_Root_Cert_Load,
                          CB_TLS_Server_En_Known_Cert,  CP_PROFINET->Header()};
    for (QLineEdit* Byte : E_PROFINET_IP)
        Order.append(Byte);
    for (QLineEdit* Byte : E_PROFINET_SM)
        Order.append(Byte);
    Order.append(CB_PROFINET_GAT);
    for (QLineEdit* Byte : E_PROFINET_GAT)
        Order.append(Byte);
    Order.append({E_PROFINET_TunnelPort, E_PROFINET_NameStation, E_PROFINET_NByte_In, E_PROFINET_NByte_Out,
                  CB_PROFINET_Diagnostic, E_PROFINET_Diagnostic, Btn_OK, Btn_Cancel});
    for (qsizetype I = 0; I + 1 < Order.size(); ++I)
        setTabOrder(Order[I], Order[I + 1]);
}

void TFParGen::Order_TAB_Panels()
{
    Set_Group_Captions();
    for (Collapsible_Group* Group : {CP_IEC61850_Server, CP_TLS_Server, CP_PROFINET})
        Group->show();
    Stack_Groups();
}

void TFParGen::Set_Group_Captions()
{
    // Numbered in their order; each language change puts the captions in the new language.
    CP_IEC61850_Server->Set_Caption(QStringLiteral("1. ") + Space.Str(Par_Gen_Text::Server_Group));
    CP_TLS_Server->Set_Caption(QStringLiteral("2. ") + Space.Str(Par_Gen_Text::Tls_Group));
    CP_PROFINET->Set_Caption(QStringLiteral("3. ") + Space.Str(Par_Gen_Text::Profinet_Group));
}

void TFParGen::Stack_Groups()
{
    int Y = Group_Gap;
    for (Collapsible_Group* Group : {CP_IEC61850_Server, CP_TLS_Server, CP_PROFINET}) {
        Group->move(Group_X, Y);
        Y += Group->height() + Group_Gap;
    }
    CPG->resize(Group_X * 2 + Group_Width, Y);
}

void TFParGen::Move_GroupBoxs()
{
    const auto Bottom = [](const QWidget* Control) { return Control->geometry().bottom() + 1; };
    CP_IEC61850_Server->Set_Body_Height(Bottom(E_IEC61850_Server_Password) + Bottom_Margin);

    const bool TLS_On = CB_TLS_Server_Enable->isChecked();
    for (QWidget* Control : std::initializer_list<QWidget*>{
             L_TLS_Server_Key, E_TLS_Server_Key, L_TLS_Server_Key_Pass, E_TLS_Server_Key_Pass,
             L_TLS_Server_Server_Cert, E_TLS_Server_Server_Cert, L_TLS_Server_Root_Cert, E_TLS_Server_Root_Cert,
             CB_TLS_Server_En_Known_Cert, Btn_TLS_Server_Key_Load, Btn_TLS_Server_Server_Cert_Load,
             Btn_TLS_Server_Root_Cert_Load, L_TLS_Server_Key_Info, L_TLS_Server_Server_Cert_Info,
             L_TLS_Server_Root_Cert_Info, Btn_TLS_Server_Key_Pass_Show})
        Control->setVisible(TLS_On);
    CP_TLS_Server->Set_Body_Height(Bottom(TLS_On ? static_cast<QWidget*>(CB_TLS_Server_En_Known_Cert)
                                                 : static_cast<QWidget*>(CB_TLS_Server_Enable))
                                   + Bottom_Margin);

    CP_PROFINET->Set_Body_Height(Bottom(E_PROFINET_Diagnostic) + Bottom_Margin);
    Stack_Groups();
    Enable_Optional_Fields();
}

void TFParGen::Enable_Optional_Fields()
{
    // A value that is not used while its check box is off cannot be edited
    // meanwhile; it keeps its text and is saved as usual.
    for (QLineEdit* Byte : E_PROFINET_GAT)
        Byte->setEnabled(CB_PROFINET_GAT->isChecked());
    E_PROFINET_Diagnostic->setEnabled(CB_PROFINET_Diagnostic->isChecked());
}

void TFParGen::Set_Lang()
{
    namespace Text = Par_Gen_Text;
    namespace Tls = Certificates::Text_Slot;
    setWindowTitle(Space.Str(Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Text::Description));
    if (CP_IEC61850_Server && CP_TLS_Server && CP_PROFINET)
        Set_Group_Captions();
    Btn_OK->setText(Space.Str(Text::Ok));
    Btn_OK->setToolTip(Space.Str(Text::Ok_Hint));
    Btn_Cancel->setText(Space.Str(Text::Cancel));
    Btn_Cancel->setToolTip(Space.Str(Text::Cancel_Hint));
    Fit_Row_Right({Btn_OK, Btn_Cancel});

    const auto Label = [this](QLabel* L, int Text_Slot, QWidget* Field, int Hint_Slot) {
        L->setText(Space.Str(Text_Slot));
        Field->setToolTip(Space.Str(Hint_Slot));
        Field->setAccessibleName(Space.Str(Text_Slot));
    };
    Label(L_IEC61850_Server_Port, Text::Server_Port_Label, E_IEC61850_Server_Port, Text::Server_Port_Hint);
    Label(L_IEC61850_Server_Password, Text::Server_Password_Label, E_IEC61850_Server_Password,
          Text::Server_Password_Hint);
    Label(L_TLS_Server_Key, Tls::Key_Label, E_TLS_Server_Key, Text::Key_Hint);
    Label(L_TLS_Server_Key_Pass, Tls::Key_Password_Label, E_TLS_Server_Key_Pass, Text::Key_Password_Hint);
    Label(L_TLS_Server_Server_Cert, Tls::Server_Certificate_Label, E_TLS_Server_Server_Cert,
          Text::Server_Certificate_Hint);
    Label(L_TLS_Server_Root_Cert, Tls::Root_Certificate_Label, E_TLS_Server_Root_Cert, Text::Root_Certificate_Hint);
    Label(L_PROFINET_TunnelPort, Text::Tunnel_Port_Label, E_PROFINET_TunnelPort, Text::Tunnel_Port_Hint);
    Label(L_PROFINET_NameStation, Text::Station_Name_Label, E_PROFINET_NameStation, Text::Station_Name_Hint);
    Label(L_PROFINET_NByte_In, Text::Input_Bytes_Label, E_PROFINET_NByte_In, Text::Input_Bytes_Hint);
    Label(L_PROFINET_NByte_Out, Text::Output_Bytes_Label, E_PROFINET_NByte_Out, Text::Output_Bytes_Hint);

    const auto Check = [this](QCheckBox* Box, int Text_Slot, int Hint_Slot) {
        Box->setText(Space.Str(Text_Slot));
        Box->setToolTip(Space.Str(Hint_Slot));
    };
    Check(CB_TLS_Server_Enable, Text::Tls_Enable_Box, Text::Tls_Enable_Hint);
    Check(CB_TLS_Server_En_Known_Cert, Tls::Enable_Known_Cert_Label, Text::Enable_Known_Cert_Hint);
    Check(CB_PROFINET_GAT, Text::Gateway_Box, Text::Gateway_Hint);
    Check(CB_PROFINET_Diagnostic, Text::Diagnostic_Box, Text::Diagnostic_Hint);

    L_PROFINET_IP->setText(Space.Str(Text::Ip_Label));
    L_PROFINET_SM->setText(Space.Str(Text::Mask_Label));
    for (int I = 0; I < 4; ++I) {
        // The byte edits have no label of their own: their hints name them.
        const auto Byte = static_cast<size_t>(I);
        for (const auto& [Edit, Slot] : {std::pair{E_PROFINET_IP[Byte], Text::Ip_Byte_Hint + I},
                                         std::pair{E_PROFINET_SM[Byte], Text::Mask_Byte_Hint + I},
                                         std::pair{E_PROFINET_GAT[Byte], Text::Gateway_Byte_Hint + I}}) {
            Edit->setToolTip(Space.Str(Slot));
            Edit->setAccessibleName(Space.Str(Slot));
        }
    }
    E_PROFINET_Diagnostic->setToolTip(Space.Str(Text::Diagnostic_Address_Hint));
    E_PROFINET_Diagnostic->setAccessibleName(Space.Str(Text::Diagnostic_Box));

    for (const auto& [Load, Label_Slot] : {std::pair{Btn_TLS_Server_Key_Load, Tls::Key_Label},
                                           std::pair{Btn_TLS_Server_Server_Cert_Load, Tls::Server_Certificate_Label},
                                           std::pair{Btn_TLS_Server_Root_Cert_Load, Tls::Root_Certificate_Label}}) {
        Load->setText(Space.Str(Tls::Load_Button));
        Load->setToolTip(Space.Str(Tls::Load_Button_Hint));
        // Three buttons of one caption: each is named by the box it fills.
        Load->setAccessibleName(Space.Str(Label_Slot) + QStringLiteral(": ") + Space.Str(Tls::Load_Button));
    }
    for (Pem_Summary_Label* Info : {L_TLS_Server_Key_Info, L_TLS_Server_Server_Cert_Info, L_TLS_Server_Root_Cert_Info})
        Info->Refresh();
    for (const auto& [Button, Slot_Text] :
         {std::pair{Btn_Undo, Editing_Text::Undo}, std::pair{Btn_Redo, Editing_Text::Redo}}) {
        Button->setText(Space.Str(Slot_Text));
        Button->setAccessibleName(Space.Str(Slot_Text));
    }
    Undo_Keys->Refresh();
    for (const auto& [Show, Label_Slot] : {std::pair{Btn_IEC61850_Server_Password_Show, Text::Server_Password_Label},
                                           std::pair{Btn_TLS_Server_Key_Pass_Show, Tls::Key_Password_Label}}) {
        Show->setText(Space.Str(Text::Show_Button));
        Show->setToolTip(Space.Str(Text::Show_Hint));
        Show->setAccessibleName(Space.Str(Label_Slot) + QStringLiteral(": ") + Space.Str(Text::Show_Button));
    }
    Fit_Label_Column();
}

void TFParGen::Fit_Label_Column()
{
    // A label (or check box) of the left column that needs more room moves
    // the field column to the right, as far as the four byte edits of an
    // address leave room; fields reaching the right margin keep it. Moves are
    // relative, so a field placed elsewhere meanwhile keeps its place. Each
    // control's part is decided the first time it is seen.
    constexpr int Column_Width = Field_X - Label_X - 6;
    constexpr int Room = Group_Width - 12 - (Field_X + 3 * Byte_Step + Byte_Width);
    const int Current = property("sw_label_shift").toInt();
    const int Fields = Field_X + Current; // where the field column starts now
    QList<std::pair<QWidget*, int>> Controls;
    int Need = 0;
    for (Collapsible_Group* Group : {CP_IEC61850_Server, CP_TLS_Server, CP_PROFINET}) {
        for (QWidget* Control : Group->Body()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            int Role = Control->property("sw_column_part").toInt();
            if (Role == 0) {
                const QRect Place = Control->geometry();
                Role = Place.x() == Label_X && Place.x() + Place.width() < Fields ? Label_Part
                       : Place.x() >= Fields && Place.x() + Place.width() == Group_Width - 12 ? Stretched_Field
                       : Place.x() >= Fields                                               ? Field
                                                                                           : Other;
                Control->setProperty("sw_column_part", Role);
            }
            if (Role == Label_Part)
                Need = std::max(Need, Text_Width(Control) - Column_Width);
            Controls.append({Control, Role});
        }
    }
    const int Shift = std::clamp(Need, 0, Room);
    const int Delta = Shift - Current;
    if (Delta == 0)
        return;
    setProperty("sw_label_shift", Shift);
    for (const auto& [Control, Role] : Controls) {
        const QRect Place = Control->geometry();
        if (Role == Label_Part)
            Control->resize(Place.width() + Delta, Place.height());
        else if (Role == Stretched_Field)
            Control->setGeometry(Place.x() + Delta, Place.y(), Place.width() - Delta, Place.height());
        else if (Role == Field)
            Control->move(Place.x() + Delta, Place.y());
    }
}

Par_Gen::Values TFParGen::Read_Controls() const
{
    Par_Gen::Values Data;
    for (int I = 0; I < Par_Gen::Element_Count; ++I) {
        QWidget* Control = Controls[static_cast<size_t>(I)];
        if (auto* Check = qobject_cast<QCheckBox*>(Control))
            Data[I] = Check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        else if (auto* Box = qobject_cast<QPlainTextEdit*>(Control))
            Data[I] = Box_Text(Box);
        else if (auto* Edit = qobject_cast<QLineEdit*>(Control))
            Data[I] = Edit->text();
    }
    return Data;
}

void TFParGen::Write_Controls(const Par_Gen::Values& Data)
{
    // A stored name longer than the typing limit is shown and saved whole.
    E_PROFINET_NameStation->setMaxLength(
        qMax(Station_Name_Limit, static_cast<int>(Data[Par_Gen::PROFINET_NAME_STA].size())));
    for (int I = 0; I < Par_Gen::Element_Count; ++I) {
        QWidget* Control = Controls[static_cast<size_t>(I)];
        if (auto* Check = qobject_cast<QCheckBox*>(Control))
            Check->setChecked(Data.Is_Checked(I));
        else if (auto* Box = qobject_cast<QPlainTextEdit*>(Control))
            Box->setPlainText(Data[I]);
        else if (auto* Edit = qobject_cast<QLineEdit*>(Control))
            Edit->setText(Data[I]);
    }
}

void TFParGen::FormShow()
{
    // Taken before the file is read: a change in between is asked about, never missed.
    Guard_Of_File->Remember(Space.File_ParGen);
    const Par_Gen::Values Data = Par_Gen::Load(Space.File_ParGen);
    if (const auto Defaults = Checks::Read_As_Defaults_Message(Space.File_ParGen, Space.Lang_Strings))
        Prompts.Error(*Defaults);
    Restoring = true;
    Write_Controls(Data);
    Restoring = false;
    Last_Values = Read_Controls();
    History->clear();
    History->setClean();
    Is_Change = false;
    // Each opening shows every group; one collapsed last time is open again.
    for (Collapsible_Group* Group : {CP_IEC61850_Server, CP_TLS_Server, CP_PROFINET})
        Group->Set_Expanded(true);
    Move_GroupBoxs();
    Scroll->verticalScrollBar()->setValue(0);
    E_IEC61850_Server_Port->setFocus();
}

int TFParGen::Execute()
{
    FormShow();
    return exec();
}

bool TFParGen::Controllo_Dati()
{
    // The values first, then the server's TLS material: the first error is shown.
    Checks::Par_Gen_Input Input;
    Input.File = Space.File_ParGen;
    Input.Data = Read_Controls();
    Input.Now = QDateTime::currentDateTimeUtc();
    if (Input.Data.Is_Checked(Par_Gen::TLS_Server_Enable))
        Input.Known_Sent = Known_Certificates_Of(Space.File_TLS_Known_Cert);
    Findings = Checks::Check_Par_Gen(Input, Space.Lang_Strings);
    const std::optional<Checks::Finding> Error = Checks::First_Error(Findings);
    if (!Error)
        return true;
    Prompts.Error(Error->Text);
    if (Error->Tls_Field) {
        using Certificates::Place;
        const Place Where = *Error->Tls_Field;
        QWidget* Field = Where == Place::Key_Password         ? static_cast<QWidget*>(E_TLS_Server_Key_Pass)
                         : Where == Place::Server_Certificate ? static_cast<QWidget*>(E_TLS_Server_Server_Cert)
                         : Where == Place::Root_Certificate   ? static_cast<QWidget*>(E_TLS_Server_Root_Cert)
                                                              : static_cast<QWidget*>(E_TLS_Server_Key);
        CP_TLS_Server->Set_Expanded(true);
        Field->setFocus(Qt::OtherFocusReason);
    } else {
        Go_To_Field(Controls[static_cast<size_t>(Error->Field)]);
    }
    return false;
}

void TFParGen::Show_In_Stack(QWidget* Control)
{
    // The whole control, not only its text cursor: a five-line box is seen whole.
    const QRect Area(Control->mapTo(CPG, QPoint(0, 0)), Control->size());
    Scroll->ensureVisible(Area.center().x(), Area.center().y(), Area.width() / 2 + 8, Area.height() / 2 + 8);
}

void TFParGen::Go_To_Field(QWidget* Field)
{
    // The user sees the value the message is about, ready to be typed over.
    for (Collapsible_Group* Group : {CP_IEC61850_Server, CP_TLS_Server, CP_PROFINET})
        if (Group->isAncestorOf(Field))
            Group->Set_Expanded(true);
    Field->setFocus(Qt::OtherFocusReason);
    Show_In_Stack(Field);
    if (auto* Edit = qobject_cast<QLineEdit*>(Field))
        Edit->selectAll();
}

void TFParGen::Btn_OKClick()
{
    if (Guard_Of_File->Refuse_Read_Only())
        return;
    if (!Controllo_Dati() || !Controllo_TLS())
        return;
    if (!Guard_Of_File->May_Write(Space.File_ParGen, [this] { return Par_Gen::To_Bytes(Read_Controls()); }))
        return;
    if (const auto Saved = Par_Gen::Save(Space.File_ParGen, Read_Controls()); !Saved) {
        Prompts.Error(Space.Write_Failure_Text(Saved.error()));
        return;
    }
    Is_Change = false;
    accept();
}

void TFParGen::Btn_CancelClick() { reject(); }

void TFParGen::reject()
{
    if (Is_Change && !Prompts.Confirm_Default_No(Space.Str(Editing_Text::Leave_Unsaved_Question)))
        return;
    QDialog::reject();
}

void TFParGen::On_Change() { Is_Change = true; }

void TFParGen::On_Click(QCheckBox* Sender)
{
    Is_Change = true;
    if (Sender == CB_TLS_Server_Enable)
        Move_GroupBoxs();
    if (Sender == CB_PROFINET_GAT || Sender == CB_PROFINET_Diagnostic)
        Enable_Optional_Fields();
}

bool TFParGen::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::ShortcutOverride) {
        const auto* Key = static_cast<QKeyEvent*>(Event);
        const bool Undo = Key->matches(QKeySequence::Undo);
        const bool Redo = Key->matches(QKeySequence::Redo) || Key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::Key_Y);
        bool Own = true;
        if (auto* Line = qobject_cast<QLineEdit*>(Watched))
            Own = Undo ? Line->isUndoAvailable() : Line->isRedoAvailable();
        else if (auto* Box = qobject_cast<QPlainTextEdit*>(Watched))
            Own = Undo ? Box->document()->isUndoAvailable() : Box->document()->isRedoAvailable();
        if ((Undo || Redo) && !Own) {
            // Left unclaimed, the key goes to the dialog's shortcut.
            Event->ignore();
            return true;
        }
    }
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->text() == QLatin1String(".")) {
        const auto Found = std::find(Byte_Chain.begin(), Byte_Chain.end(), Watched);
        if (Found != Byte_Chain.end()) {
            const auto Next = Found + 1;
            if (Next != Byte_Chain.end() && (*Next)->isEnabled() && (*Next)->isVisible())
                (*Next)->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

bool TFParGen::Controllo_TLS()
{
    // The warnings of the last check (Controllo_Dati found no error): a
    // station name the controller cannot use is asked about on its own, the
    // rest together.
    QList<Checks::Finding> Warnings = Checks::Warnings_Of(Findings);
    for (qsizetype I = 0; I < Warnings.size(); ++I) {
        if (Warnings[I].Tls_Field || Warnings[I].Field != Par_Gen::PROFINET_NAME_STA)
            continue;
        if (!Prompts.Warn_Default_No(Warnings[I].Text + QStringLiteral("\n\n")
                                     + Space.Str(Par_Gen_Text::Keep_Station_Name_Question))) {
            Go_To_Field(Controls[static_cast<size_t>(Par_Gen::PROFINET_NAME_STA)]);
            return false;
        }
        Warnings.removeAt(I--);
    }
    return Warnings.isEmpty()
           || Prompts.Warn_Default_No(
               Checks::Warnings_Question(Warnings, Certificates::Text_Slot::Warnings_Intro, Space.Lang_Strings));
}

void TFParGen::Load_TLS_File(QPlainTextEdit* Box)
{
    const std::optional<QString> Pem =
        Ask_Pem_File(*Open_Dialog, Prompts, Space.Lang_Strings, Space.Project_Dir, Box == E_TLS_Server_Key);
    if (!Pem)
        return;
    Box->setPlainText(*Pem);
    Record_Step(Par_Gen_Text::Load_Step, Box);
    Box->setFocus(Qt::OtherFocusReason);
}
