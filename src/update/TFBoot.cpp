#include "update/TFBoot.h"

#include "dcp/TFFind_Gateways.h"
#include "foundation/Ipv4_Address.h"
#include "foundation/Text_Rules.h"
#include "platform/Input_Blocker.h"
#include "platform/Process_Runner.h"
#include "platform/Prompter.h"
#include "widgets/Ui_Error_Handler.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"
#include "update/Reachability.h"
#include "update/Update_Parameter_File.h"
#include "update/Update_Texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>
#include <stdexcept>

namespace {
constexpr int Boot_Width = 400;
constexpr int Margin = 12;
constexpr int Title_Height = 66;
constexpr int Group_Width = Boot_Width - 2 * Margin;
constexpr int Address_Group_Height = 66;
constexpr int Options_Group_Height = 92;
constexpr int Group_Gap = 8;
constexpr int Button_Height = 32;
constexpr int Address_Top = Title_Height;
constexpr int Options_Top = Address_Top + Address_Group_Height + Group_Gap;
constexpr int Buttons_Top = Options_Top + Options_Group_Height + Group_Gap + 4;
constexpr int Status_Top = Buttons_Top + Button_Height + 8;
constexpr int Status_Height = 40;
constexpr int Boot_Height = Status_Top + Status_Height + Margin;

// What an exit code of the stand-in updater means.
int Meaning_Slot(qint64 Code)
{
    switch (Code) {
    case 0: return Update_Text::Update_Completed;
    case 1: return Update_Text::Transfer_Failed;
    case 2: return Update_Text::Files_Unusable;
    case -1: return Update_Text::Stopped_Abnormally;
    default: return Update_Text::Undocumented_Code;
    }
}
} // namespace

TFBoot::TFBoot(Workspace& Space_, Platform_Services Services_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Services(Services_)
{
    setObjectName(QStringLiteral("TFBoot"));
    Lay_Out();
    Set_Lang();
}

void TFBoot::Lay_Out()
{
    setFixedSize(Boot_Width, Boot_Height);
    Title = Make_Title_Area(this, Boot_Width);
    Title.L_SW_Code->setText(Space.SW_Code);

    CP_IP_Address = Make_Control<QFrame>(this, QStringLiteral("CP_IP_Address"),
                                         {Margin, Address_Top, Group_Width, Address_Group_Height});
    CP_IP_Address->setFrameShape(QFrame::StyledPanel);
    L_IP_Address = Make_Control<QLabel>(CP_IP_Address, QStringLiteral("L_IP_Address"), {10, 6, Group_Width - 20, 20});
    constexpr int Field_Width = 60;
    constexpr int Dot_Width = 14;
    for (int I = 0; I < 4; ++I) {
        const int X = 10 + I * (Field_Width + Dot_Width);
        E_IP[I] = Make_Control<QLineEdit>(CP_IP_Address, QStringLiteral("E_IP%1").arg(I + 1), {X, 30, Field_Width, 26});
        E_IP[I]->setText(QStringLiteral("0"));
        // A byte of an address: up to three digits.
        E_IP[I]->setMaxLength(3);
        E_IP[I]->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), E_IP[I]));
        E_IP[I]->setAlignment(Qt::AlignCenter);
        E_IP[I]->installEventFilter(this);
        if (I < 3) {
            auto* Dot = Make_Control<QLabel>(CP_IP_Address, QStringLiteral("L_Dot%1").arg(I + 1),
                                             {X + Field_Width, 30, Dot_Width, 26});
            Dot->setText(QStringLiteral("."));
            Dot->setAlignment(Qt::AlignCenter);
        }
    }
    L_IP_Address->setBuddy(E_IP[0]);
    Btn_Find_Gateways = Make_Control<QPushButton>(CP_IP_Address, QStringLiteral("Btn_Find_Gateways"),
                                                  {10 + 4 * (Field_Width + Dot_Width) - 6, 30, 72, 26});
    Btn_Find_Gateways->setAutoDefault(false);
    connect(Btn_Find_Gateways, &QPushButton::clicked, this, &TFBoot::Find_Gateway);

    CP_Update_Options = Make_Control<QFrame>(this, QStringLiteral("CP_Update_Options"),
                                             {Margin, Options_Top, Group_Width, Options_Group_Height});
    CP_Update_Options->setFrameShape(QFrame::StyledPanel);
    L_Update_Options =
        Make_Control<QLabel>(CP_Update_Options, QStringLiteral("L_Update_Options"), {10, 6, Group_Width - 20, 20});
    CB_Update_Options = Make_Control<QComboBox>(CP_Update_Options, QStringLiteral("CB_Update_Options"), {10, 30, 260, 26});
    L_Update_Options->setBuddy(CB_Update_Options);
    CB_Update_Option_Read_Back =
        Make_Control<QCheckBox>(CP_Update_Options, QStringLiteral("CB_Update_Option_Read_Back"), {10, 62, 260, 22});

    Btn_Update = Make_Control<QPushButton>(this, QStringLiteral("Btn_Update"), {Margin, Buttons_Top, 220, Button_Height});
    Btn_Update->setAutoDefault(false);
    Btn_Cancel = Make_Control<QPushButton>(this, QStringLiteral("Btn_Cancel"),
                                           {Boot_Width - Margin - 140, Buttons_Top, 140, Button_Height});
    Btn_Cancel->setAutoDefault(false);
    L_Status = Make_Control<QLabel>(this, QStringLiteral("L_Status"), {Margin, Status_Top, Group_Width, Status_Height});
    L_Status->setWordWrap(true);
    L_Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    L_Status->setTextFormat(Qt::PlainText);
    L_Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(Btn_Update, &QPushButton::clicked, this, &TFBoot::Update_Guarded);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Title, address group, options group, buttons.
    QWidget* Order[] = {E_IP[0], E_IP[1], E_IP[2], E_IP[3], CB_Update_Options, CB_Update_Option_Read_Back,
                        Btn_Update, Btn_Cancel};
    for (std::size_t I = 1; I < std::size(Order); ++I)
        setTabOrder(Order[I - 1], Order[I]);
}

void TFBoot::Set_Lang()
{
    setWindowTitle(Space.Str(Update_Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Update_Text::Description));
    L_IP_Address->setText(Space.Str(Update_Text::Address_Label));
    L_Update_Options->setText(Space.Str(Update_Text::Options_Label));
    for (int I = 0; I < 4; ++I) {
        E_IP[I]->setToolTip(Space.Str(Update_Text::First_Byte_Hint + I));
        // Four boxes share one label, so each is named by its hint.
        E_IP[I]->setAccessibleName(Space.Str(Update_Text::First_Byte_Hint + I));
    }
    CB_Update_Options->clear();
    CB_Update_Options->addItems({Space.Str(Update_Text::Option_Firmware_And_Configuration), Space.Str(Update_Text::Option_Firmware),
                                 Space.Str(Update_Text::Option_Configuration)});
    CB_Update_Options->setCurrentIndex(0);
    CB_Update_Options->setToolTip(Space.Str(Update_Text::Options_Hint));
    CB_Update_Options->setAccessibleName(Space.Str(Update_Text::Options_Label));
    CB_Update_Option_Read_Back->setText(Space.Str(Update_Text::Read_Back));
    CB_Update_Option_Read_Back->setToolTip(Space.Str(Update_Text::Read_Back_Hint));
    Btn_Cancel->setText(Space.Str(Update_Text::Cancel));
    Btn_Cancel->setToolTip(Space.Str(Update_Text::Cancel_Hint));
    Btn_Update->setText(Space.Str(Update_Text::Update));
    Btn_Find_Gateways->setText(Space.Str(Update_Text::Find_Gateways));
    Btn_Find_Gateways->setToolTip(Space.Str(Update_Text::Find_Gateways_Hint));
    Btn_Find_Gateways->setAccessibleName(Space.Str(Update_Text::Find_Gateways_Name));
    Btn_Update->setToolTip(Space.Str(Update_Text::Update_Hint));
    for (QPushButton* Button : {Btn_Update, Btn_Cancel})
        Button->setAccessibleName(Button->text());
    Fit_Texts();
}

void TFBoot::Fit_Texts()
{
    // The two buttons grow towards each other and the texts of the groups
    // within them; where that is not enough, the dialog and its groups widen.
    const int Update_Right = Fit_Row_Left({Btn_Update});
    int Growth = Update_Right + Margin - Fit_Row_Right({Btn_Cancel});
    for (QLabel* Label : {Title.L_SW_Desc, L_IP_Address, L_Update_Options})
        Growth = std::max(Growth, Text_Width(Label) - Laid_Out_Geometry(Label).width());
    const QRect Read_Back = Laid_Out_Geometry(CB_Update_Option_Read_Back);
    Growth = std::max({0, Growth, Text_Width(CB_Update_Option_Read_Back) + 2 * Read_Back.x() - Group_Width});
    const QRect Find = Laid_Out_Geometry(Btn_Find_Gateways);
    Growth = std::max(Growth, Find.x() + Text_Width(Btn_Find_Gateways) + 10 - Group_Width);
    Widen_Window(this, Growth);
    Fit_Row_Right({Btn_Cancel}, Growth);
    for (QWidget* Part : std::initializer_list<QWidget*>{Title.L_SW_Desc, CP_IP_Address, CP_Update_Options, L_IP_Address,
                                                         L_Update_Options})
        Fit_Width(Part, Growth);
    Fit_Width(CB_Update_Option_Read_Back);
    Fit_Width(Btn_Find_Gateways);
    CB_Update_Option_Read_Back->setAccessibleName(CB_Update_Option_Read_Back->text());
    L_Status->setAccessibleName(Space.Str(Update_Text::Outcome_Name));
}

int TFBoot::Run_Ethernet_Update()
{
    Form_Type = Form_Type_Ethernet;
    return exec();
}

void TFBoot::reject()
{
    Cancel_Requested = true;
    QDialog::reject();
}

void TFBoot::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TFBoot::FormShow()
{
    Set_Lang();
    Title.L_SW_Code->setText(Space.SW_Code);
    if (!Space.Last_IP_Address.isEmpty()) {
        const Split_IP_Result Parts = Split_IP_Address(Space.Last_IP_Address);
        if (Parts.Ok)
            for (int I = 0; I < 4; ++I)
                E_IP[I]->setText(Parts.Parts[I]);
    }
    if (Space.Update_Option_Index >= 0 && Space.Update_Option_Index < CB_Update_Options->count())
        CB_Update_Options->setCurrentIndex(Space.Update_Option_Index);
    CB_Update_Option_Read_Back->setChecked(Space.Update_Read_Back);
    L_Status->clear();
    E_IP[0]->setFocus();
    E_IP[0]->selectAll();
}

bool TFBoot::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->text() == QStringLiteral(".")) {
        for (int I = 0; I < 4; ++I) {
            if (Watched != E_IP[I])
                continue;
            // The next field's text selected: a whole dotted address typed
            // over an old one replaces it.
            if (I < 3 && E_IP[I + 1]->isEnabled() && E_IP[I + 1]->isVisible()) {
                E_IP[I + 1]->setFocus(Qt::TabFocusReason);
                E_IP[I + 1]->selectAll();
            }
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

QString TFBoot::Address_Text() const
{
    const QStringList Parts{E_IP[0]->text(), E_IP[1]->text(), E_IP[2]->text(), E_IP[3]->text()};
    // Leading zeros are dropped, so that the echo request and the updater get the plain form.
    if (const std::optional<Ipv4_Address> Address = Ipv4_From_Parts(Parts))
        return Address->Text();
    return Parts.join(u'.');
}

void TFBoot::Update_Guarded()
{
    // The check lets window messages run; a second click meanwhile is ignored.
    if (Checking)
        return;
    Checking = true;
    Run_Guarded(*Services.Prompts, [this] { Btn_UpdateClick(); });
    Checking = false;
}

bool TFBoot::Send_Ping()
{
    if (!Services.Echo || !Services.Time)
        throw std::logic_error("the update dialog has no echo client");
    Reachability_Check Check(*Services.Echo, *Services.Time);
    Check.Stop_Requested = [this] { return Cancel_Requested; };
    const bool Answered = Check.Send_Ping(Address_Text());
    ping_res = Check.ping_res;
    return Answered;
}

void TFBoot::Set_Busy(bool Busy, bool Cancel_Stays)
{
    // Disabling moves the focus away; it comes back where the user left it.
    if (Busy)
        Focus_Before = QApplication::focusWidget();
    for (QWidget* Control : std::initializer_list<QWidget*>{E_IP[0], E_IP[1], E_IP[2], E_IP[3], CB_Update_Options,
                                                           CB_Update_Option_Read_Back, Btn_Update})
        Control->setEnabled(!Busy);
    Btn_Cancel->setEnabled(!Busy || Cancel_Stays);
    if (Busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
    if (Focus_Before && isVisible())
        Focus_Before->setFocus(Qt::OtherFocusReason);
}

void TFBoot::Discard_Queued_Input()
{
    const Input_Blocker Blocker;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void TFBoot::Run_Updater()
{
    const QString Program = Updater_Program(Space.Exe_Dir);
    Set_Busy(true, false);
    // Nothing of the following may leave the dialog disabled.
    struct Unbusy {
        TFBoot* Dialog;
        ~Unbusy() { Dialog->Set_Busy(false, false); }
    } Restore{this};
    {
        // The window repaints and tells how long the updater has run; what
        // the user does meanwhile is dropped.
        const Input_Blocker Blocker;
        qint64 Shown_Seconds = -1;
        Last_Start = Start_Program(*Services.Processes, *Services.Time, Program, QString(), 0, [&](qint64 Waited_Ms) {
            if (Waited_Ms / 1000 == Shown_Seconds)
                return;
            Shown_Seconds = Waited_Ms / 1000;
            L_Status->setText(Space.Str(Update_Text::Updater_Running_For).arg(Shown_Seconds));
        });
    }
    Discard_Queued_Input();
    switch (*Last_Start) {
    case Start_Program_Outcome::Not_Started:
        L_Status->setText(Space.Str(Update_Text::Not_Started).arg(QDir::toNativeSeparators(Program)));
        break;
    case Start_Program_Outcome::Timed_Out:
        L_Status->setText(Space.Str(Update_Text::Still_Running_After).arg(Start_Program_Limit_Ms / 1000));
        break;
    case Start_Program_Outcome::Ended: {
        const qint64 Code = Services.Processes->Exit_Code();
        L_Status->setText(Space.Str(Update_Text::Updater_Ended).arg(Code).arg(Space.Str(Meaning_Slot(Code))));
        break;
    }
    }
}

std::optional<qint64> TFBoot::Running_Updater() const
{
    if (Last_Start != Start_Program_Outcome::Timed_Out || !Services.Processes
        || Services.Processes->Exit_Code() != Process_Runner::Still_Active)
        return std::nullopt;
    return Services.Processes->Process_Id();
}

bool TFBoot::Refuse_While_Updater_Runs()
{
    const std::optional<qint64> Running = Running_Updater();
    if (Running)
        Services.Prompts->Error(Space.Str(Update_Text::Updater_Still_Running).arg(*Running));
    return Running.has_value();
}

void TFBoot::Btn_UpdateClick()
{
    Cancel_Requested = false;
    L_Status->clear();
    if (Refuse_While_Updater_Runs())
        return;
    const QStringList Parts{E_IP[0]->text(), E_IP[1]->text(), E_IP[2]->text(), E_IP[3]->text()};
    if (const std::optional<int> Bad = First_Bad_Address_Part(Parts)) {
        Services.Prompts->Error(Space.Str(Update_Text::Check_Address));
        E_IP[*Bad]->setFocus(Qt::OtherFocusReason);
        E_IP[*Bad]->selectAll();
        return;
    }
    // The updater would stop at the missing file only after the check and
    // the start, with nothing but its exit code to tell why.
    if (const int Option = CB_Update_Options->currentIndex(); Option == 0 || Option == 1) {
        const QString Firmware = Firmware_Image(Space.Master_Dir);
        if (!QFileInfo(Firmware).isFile()) {
            Services.Prompts->Error(Space.Str(Update_Text::Firmware_Missing).arg(QDir::toNativeSeparators(Firmware)));
            return;
        }
    }
    bool Answered = false;
    {
        Set_Busy(true, true);
        struct Unbusy {
            TFBoot* Dialog;
            ~Unbusy() { Dialog->Set_Busy(false, true); }
        } Restore{this};
        Answered = Send_Ping();
    }
    if (Cancel_Requested)
        return;
    if (!Answered) {
        if (ping_res == 2)
            Services.Prompts->Show(Prompt_Kind::Warning, Space.Str(Update_Text::Device_Not_Found), Prompt_Buttons::Ok);
        else
            Services.Prompts->Error(Space.Str(Update_Text::Check_Address));
        return;
    }
    Space.Last_IP_Address = Address_Text();
    Space.Update_Option_Index = CB_Update_Options->currentIndex();
    Space.Update_Read_Back = CB_Update_Option_Read_Back->isChecked();
    Compile_XML_Parameter_New_Boot();
    if (!Services.Processes || !Services.Time)
        throw std::logic_error("the update dialog has no process runner");
    Run_Updater();
}

void TFBoot::Compile_XML_Parameter_New_Boot()
{
    const Update_Choice Choice{Address_Text(), CB_Update_Options->currentIndex(),
                               CB_Update_Option_Read_Back->isChecked()};
    try {
        Write_Update_Parameters(Update_Xml, Choice, {Space.Master_Dir, Space.Project_Dir}, Space.Exe_Dir);
    } catch (const Update_File_Error& Error) {
        // Told in the user's language, still through the general error handler.
        throw std::runtime_error(Space.Write_Failure_Text(Error.Failure).toStdString());
    }
}

void TFBoot::Find_Gateway()
{
    if (!FFind_Gateways)
        FFind_Gateways = new TFFind_Gateways(Space, Services, this);
    if (const std::optional<Ipv4_Address> Address = FFind_Gateways->Choose_Address())
        for (int I = 0; I < 4; ++I)
            E_IP[I]->setText(QString::number(Address->Bytes[I]));
}
