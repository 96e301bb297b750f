#include "shell/TFTavorixFirmWare.h"

#include "image/Configuration_Image.h"
#include "localisation/TFSoftOptions.h"
#include "localisation/Ui_Qt_Translation.h"
#include "localisation/Version_Check.h"
#include "widgets/Ui_Drawn_Icons.h"
#include "platform/Desktop_Shell.h"
#include "gsdml/Profinet_XML.h"
#include "gsdml/TFProfinetFileName.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/TFParGen.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "platform/Prompter.h"
#include "shell/Shell_Texts.h"
#include "shell/TFAbout.h"
#include "shell/TFNew_Project.h"
#include "review/Review_Texts.h"
#include "review/Ui_Report_Run.h"
#include "shell/TFOpenConf.h"
#include "editors/Ui_Save_Guard.h"
#include "platform/Decimal_Separator.h"
#include "project/Project_Lock.h"
#include "review/TFCompare.h"
#include "widgets/Ui_Dialog_Place.h"
#include "widgets/Ui_Fit_Text.h"
#include "widgets/Ui_Error_Handler.h"
#include "foundation/Project_Folders.h"
#include "foundation/Web_Addresses.h"
#include "foundation/Workspace.h"
#include "update/TFBoot.h"
#include "dcp/Dcp_Texts.h"
#include "checks/Project_Checks.h"
#include "commission/Commission_Texts.h"
#include "commission/TFCommission.h"
#include "dcp/TFFind_Gateways.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {
constexpr int Main_Width = 694;
constexpr int Step_Top = 136;     // top of the step 1 row
constexpr int Step_Spacing = 44;  // distance between two step rows
constexpr int Button_X = 150;
constexpr int Button_W = 170;
constexpr int Button_H = 36;
constexpr int Step6_Top = Step_Top + 5 * Step_Spacing;
constexpr int Main_Height = Step6_Top + 152;

// The step buttons share one column width, wide enough for the longest
// caption and at least the laid-out width; the button beside the first one
// follows it at the laid-out distance.
void Fit_Step_Buttons(const QList<QPushButton*>& Column, QPushButton* Beside)
{
    int Width = 0;
    for (QPushButton* Button : Column)
        Width = std::max({Width, Laid_Out_Geometry(Button).width(), Button->isHidden() ? 0 : Text_Width(Button)});
    for (QPushButton* Button : Column) {
        const QRect Laid_Out = Laid_Out_Geometry(Button);
        Button->setGeometry(Laid_Out.x(), Laid_Out.y(), Width, Laid_Out.height());
    }
    const QRect First = Laid_Out_Geometry(Column.front());
    const QRect Next = Laid_Out_Geometry(Beside);
    Beside->setGeometry(First.x() + Width + Next.x() - (First.x() + First.width()), Next.y(),
                        std::max(Next.width(), Text_Width(Beside)), Next.height());
}
} // namespace

TFTavorixFirmWare::TFTavorixFirmWare(Workspace& Space_, Platform_Services Services_, QWidget* Parent)
    : QMainWindow(Parent), Update_Watch(Services_.Http), Space(Space_), Services(Services_),
      Image(std::make_unique<Configuration_Image>(Space_, Services_.Separator))
{
    setObjectName(QStringLiteral("TFTavorixFirmWare"));
    Lock = std::make_unique<Project_Lock>();
    FormCreate();
}

TFTavorixFirmWare::~TFTavorixFirmWare() = default;

void TFTavorixFirmWare::FormCreate()
{
    Space.Lang_Strings.Clear();
    Lay_Out();
    Space.Create_Directories();
    Space.Project_Name.clear();
    Space.Update_Read_Back = true;
    Space.Read_Settings();
    Update_Watch.Apply_Timer_Rule(Space.Update_Timer_Wanted());
    Space.Set_Identity();
    setWindowTitle(Space.Window_Title);
    Title.L_SW_Code->setText(Space.SW_Code);
    Title.L_SW_Desc->setText(Space.SW_Description);
    Space.Init_Language();
    Apply_Qt_Translation(Space.Language_Name);
    Space.Restore_Project();
    Set_Lang();
    Space.Set_Files();
    Space.Row_Clipboard.clear();
    Claim_Configuration(QString());
    Show_Configuration_Lines();
}

QPushButton* TFTavorixFirmWare::Make_Button(const QString& Name, int X, int Y, int W, int H)
{
    auto* Button = new QPushButton(centralWidget());
    Button->setObjectName(Name);
    Button->setGeometry(X, Y, W, H);
    connect(Button, &QPushButton::clicked, this, [this, Button] { Btn_Click(Button); });
    return Button;
}

void TFTavorixFirmWare::Lay_Out()
{
    auto* Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(Client);
    setFixedSize(Main_Width, Main_Height);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    Title = Make_Title_Area(Client, 320);

    LL_Update = new QLabel(Client);
    LL_Update->setObjectName(QStringLiteral("LL_Update"));
    LL_Update->setGeometry(300, 14, 240, 40);
    LL_Update->setWordWrap(true);
    LL_Update->setTextFormat(Qt::RichText);
    LL_Update->hide();

    Btn_Info = Make_Button(QStringLiteral("Btn_Info"), 560, 10, 38, 38);
    Btn_Info->setIcon(Drawn_Icons::Information());
    Btn_Opz = Make_Button(QStringLiteral("Btn_Opz"), 602, 10, 38, 38);
    Btn_Opz->setIcon(Drawn_Icons::Options());
    Btn_Close = Make_Button(QStringLiteral("Btn_Close"), 644, 10, 38, 38);
    Btn_Close->setIcon(Drawn_Icons::Close());
    for (QPushButton* Icon_Button : {Btn_Info, Btn_Opz, Btn_Close})
        Icon_Button->setIconSize(QSize(24, 24));

    L_Begin = new QLabel(Client);
    L_Begin->setObjectName(QStringLiteral("L_Begin"));
    L_Begin->setGeometry(12, 80, 130, 44);
    L_Begin->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    Frame_Conf = new QFrame(Client);
    Frame_Conf->setObjectName(QStringLiteral("Frame_Conf"));
    Frame_Conf->setFrameShape(QFrame::StyledPanel);
    Frame_Conf->setGeometry(Button_X, 76, Main_Width - Button_X - 12, 52);
    L_Name_Conf = new QLabel(Frame_Conf);
    L_Name_Conf->setObjectName(QStringLiteral("L_Name_Conf"));
    L_Name_Conf->setGeometry(10, 4, Frame_Conf->width() - 20, 20);
    L_Name_Conf_L2 = new QLabel(Frame_Conf);
    L_Name_Conf_L2->setObjectName(QStringLiteral("L_Name_Conf_L2"));
    L_Name_Conf_L2->setGeometry(10, 26, Frame_Conf->width() - 20, 20);
    // A configuration name or a translated text is shown as written, never read as markup.
    for (QLabel* Line : {L_Begin, L_Name_Conf, L_Name_Conf_L2})
        Line->setTextFormat(Qt::PlainText);
    QFont Bold = L_Name_Conf_L2->font();
    Bold.setBold(true);
    L_Name_Conf_L2->setFont(Bold);

    for (int I = 0; I < 8; ++I) {
        L_Step[I] = new QLabel(Client);
        L_Step[I]->setObjectName(QStringLiteral("L_Step_%1").arg(I + 1));
        L_Step[I]->setGeometry(12, Step_Top + I * Step_Spacing, 130, Button_H);
        L_Step[I]->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        L_Step[I]->setTextFormat(Qt::PlainText);
        L_Step[I]->setVisible(I < 6);
    }
    auto Row = [](int Step) { return Step_Top + (Step - 1) * Step_Spacing; };
    Btn_New = Make_Button(QStringLiteral("Btn_New"), Button_X, Row(1), Button_W, Button_H);
    Btn_Open = Make_Button(QStringLiteral("Btn_Open"), Button_X + Button_W + 10, Row(1), Button_W, Button_H);
    Btn_Prm_Gen = Make_Button(QStringLiteral("Btn_Prm_Gen"), Button_X, Row(2), Button_W, Button_H);
    Btn_IEC61850_Access = Make_Button(QStringLiteral("Btn_IEC61850_Access"), Button_X, Row(3), Button_W, Button_H);
    Btn_TLS_List_Certificates =
        Make_Button(QStringLiteral("Btn_TLS_List_Certificates"), Button_X, Row(4), Button_W, Button_H);
    Btn_PROFINET_XML = Make_Button(QStringLiteral("Btn_PROFINET_XML"), Button_X, Row(5), Button_W, Button_H);
    Btn_CreateBin = Make_Button(QStringLiteral("Btn_CreateBin"), Button_X, Row(6), Button_W, Button_H);
    Btn_Modbus_Set_Access = Make_Button(QStringLiteral("Btn_Modbus_Set_Access"), Button_X, Row(7), Button_W, Button_H);
    Btn_SNMP_MIB = Make_Button(QStringLiteral("Btn_SNMP_MIB"), Button_X, Row(8), Button_W, Button_H);
    Btn_Find_Gateways = Make_Button(QStringLiteral("Btn_Find_Gateways"), Button_X + Button_W + 10, Row(5), Button_W, Button_H);
    Btn_Report = Make_Button(QStringLiteral("Btn_Report"), Button_X + Button_W + 10, Row(4), Button_W, Button_H);
    Btn_Commission = Make_Button(QStringLiteral("Btn_Commission"), Button_X + Button_W + 10, Row(3), Button_W, Button_H);
    Btn_Modbus_Set_Access->hide();
    Btn_SNMP_MIB->hide();

    L_Korvex = new QLabel(Client);
    L_Korvex->setObjectName(QStringLiteral("L_Korvex"));
    L_Korvex->setText(QStringLiteral("<a href=\"home\">%1</a>").arg(Identity::Maker_Host));
    L_Korvex->setTextFormat(Qt::RichText);
    L_Korvex->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    L_Korvex->setGeometry(Main_Width - 12 - 220, Row(6), 220, Button_H);
    L_Korvex->setCursor(Qt::PointingHandCursor);
    // Reached with Tab after the last step, opened with Enter or the space bar.
    L_Korvex->setFocusPolicy(Qt::StrongFocus);
    L_Korvex->installEventFilter(this);
    L_Korvex->setAccessibleName(Identity::Maker_Host);
    connect(L_Korvex, &QLabel::linkActivated, this, [this] { L_KorvexClick(); });
    connect(LL_Update, &QLabel::linkActivated, this, &TFTavorixFirmWare::LL_UpdateLinkClick);

    auto* Separator = new QFrame(Client);
    Separator->setObjectName(QStringLiteral("Separator"));
    Separator->setFrameShape(QFrame::HLine);
    Separator->setFrameShadow(QFrame::Sunken);
    Separator->setGeometry(12, Row(6) + Step_Spacing, Main_Width - 24, 2);

    // What the last step wrote, and where.
    L_Status = new QLabel(Client);
    L_Status->setObjectName(QStringLiteral("L_Status"));
    L_Status->setGeometry(12, Row(6) + Step_Spacing + 10, Main_Width - 24, 60);
    L_Status->setWordWrap(true);
    L_Status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    L_Status->setTextFormat(Qt::PlainText);
    L_Status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The first thing a new user does.
    Btn_New->setFocus(Qt::OtherFocusReason);
    // Tab reads the steps as they stand, row by row and left to right, then the link.
    QWidget* Reading_Order[] = {Btn_New,          Btn_Open,          Btn_Prm_Gen,   Btn_IEC61850_Access, Btn_Commission,
                                Btn_TLS_List_Certificates, Btn_Report, Btn_PROFINET_XML, Btn_Find_Gateways,
                                Btn_CreateBin,    L_Korvex};
    for (size_t I = 1; I < std::size(Reading_Order); ++I)
        setTabOrder(Reading_Order[I - 1], Reading_Order[I]);

    connect(&Update_Watch, &Version_Watch::Checked, this, &TFTavorixFirmWare::Show_Version_Answer);

    if (QScreen* Screen = QApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
}

template <class Window, class Make> Window& TFTavorixFirmWare::Built(Window*& Slot, Make&& Build)
{
    if (!Slot) {
        Slot = Build();
        new Dialog_Place(Slot);
    }
    return *Slot;
}

TFNew_Project& TFTavorixFirmWare::New_Project()
{
    return Built(FNew_Project, [this] { return new TFNew_Project(Space, *Services.Prompts, this); });
}

TFOpenConf& TFTavorixFirmWare::Open_Conf()
{
    return Built(FOpenConf, [this] {
        auto* Dialog = new TFOpenConf(Space, *Services.Prompts, this, Services.Separator);
        Dialog->Use_Lock(Lock.get());
        return Dialog;
    });
}

TFAbout& TFTavorixFirmWare::About()
{
    return Built(FAbout, [this] { return new TFAbout(Space, Services.Desktop, this); });
}

TFSoftOptions& TFTavorixFirmWare::Soft_Options()
{
    return Built(FSoftOptions, [this] {
        return new TFSoftOptions(Space, Services, Update_Watch, [this] { Change_Language(); }, this);
    });
}

TFParGen& TFTavorixFirmWare::Par_Gen()
{
    return Built(FParGen, [this] { return new TFParGen(Space, *Services.Prompts, this, Services.Open_Dialog); });
}

TFTLS_Server_Known_Cert& TFTavorixFirmWare::Known_Cert()
{
    return Built(FTLS_Server_Known_Cert, [this] {
        return new TFTLS_Server_Known_Cert(Space, *Services.Prompts, this, Services.Open_Dialog);
    });
}

TFIEC61850_Variables& TFTavorixFirmWare::Variables()
{
    return Built(FIEC61850_Variables, [this] {
        return new TFIEC61850_Variables(Space, *Services.Prompts, Services.Separator, Services.Save_Dialog,
                                        Services.Open_Dialog, this);
    });
}

TFBoot& TFTavorixFirmWare::Boot()
{
    return Built(FBoot, [this] { return new TFBoot(Space, Services, this); });
}

TFFind_Gateways& TFTavorixFirmWare::Find_Gateways()
{
    return Built(FFind_Gateways, [this] { return new TFFind_Gateways(Space, Services, this); });
}

TFCommission& TFTavorixFirmWare::Commission()
{
    return Built(FCommission, [this] { return new TFCommission(Space, Services, this); });
}

TFProfinetFileName& TFTavorixFirmWare::Profinet_File_Name()
{
    return Built(FProfinetFileName,
                 [this] { return new TFProfinetFileName(Space, *Services.Prompts, QDate::currentDate(), this); });
}

void TFTavorixFirmWare::Build_Every_Window()
{
    New_Project();
    Open_Conf();
    About();
    Soft_Options();
    Par_Gen();
    Known_Cert();
    Variables();
    Boot();
    Find_Gateways();
    Commission();
    Profinet_File_Name();
}

void TFTavorixFirmWare::Set_Lang()
{
    namespace Text = Main_Window_Text;
    // The built-in caption until a table is loaded; then the one of the language on screen.
    if (!Space.Str(Text::Window_Title).trimmed().isEmpty())
        setWindowTitle(Space.Str(Text::Window_Title));
    L_Begin->setText(Space.Str(Text::Begin));
    for (int I = 0; I < 8; ++I)
        L_Step[I]->setText(Space.Str(Text::First_Step + I));
    Show_Configuration_Lines();
    const auto Apply = [this](QPushButton* Button, int Caption, int Hint) {
        if (Caption >= 0) {
            Button->setText(Space.Str(Caption));
            Button->setAccessibleName(Space.Str(Caption));
        } else {
            Button->setAccessibleName(Space.Str(Hint));
        }
        Button->setToolTip(Space.Str(Hint));
    };
    Apply(Btn_Info, -1, Text::Information_Hint);
    Apply(Btn_Opz, -1, Text::Options_Hint);
    Apply(Btn_Close, -1, Text::Close_Hint);
    Apply(Btn_New, Text::New_Button, Text::New_Hint);
    Apply(Btn_Open, Text::Open_Button, Text::Open_Hint);
    Apply(Btn_CreateBin, Text::Update_Button, Text::Update_Hint);
    Apply(Btn_Prm_Gen, Text::Parameters_Button, Text::Parameters_Hint);
    Apply(Btn_IEC61850_Access, Text::Variables_Button, Text::Variables_Hint);
    Apply(Btn_TLS_List_Certificates, Text::Known_Cert_Button, Text::Known_Cert_Hint);
    Apply(Btn_Modbus_Set_Access, Text::Modbus_Button, Text::Modbus_Hint);
    Apply(Btn_PROFINET_XML, Text::Gsdml_Button, Text::Gsdml_Hint);
    Apply(Btn_Find_Gateways, Dcp_Text::Title, Dcp_Text::Open_Hint);
    Apply(Btn_Report, Report_Text::Button, Report_Text::Button_Hint);
    Apply(Btn_Commission, Commission_Text::Title, Commission_Text::Open_Hint);
    L_Status->setAccessibleName(Space.Str(Text::Status_Name));
    L_Status->setText(Status_Text ? Status_Text() : QString());
    // The description keeps its line; the new-version notice starts after it.
    Fit_Width(Title.L_SW_Desc);
    const QRect Notice = Laid_Out_Geometry(LL_Update);
    const int Notice_X = std::max(Notice.x(), Title.L_SW_Desc->geometry().right() + 9);
    LL_Update->setGeometry(Notice_X, Notice.y(), Notice.x() + Notice.width() - Notice_X, Notice.height());
    Fit_Step_Buttons({Btn_New, Btn_Prm_Gen, Btn_IEC61850_Access, Btn_TLS_List_Certificates, Btn_PROFINET_XML,
                      Btn_CreateBin, Btn_Modbus_Set_Access, Btn_SNMP_MIB},
                     Btn_Open);
    Btn_Find_Gateways->setGeometry(Btn_Open->x(), Btn_Find_Gateways->y(),
                                   std::max(Btn_Open->width(), Text_Width(Btn_Find_Gateways)), Btn_Find_Gateways->height());
    Btn_Report->setGeometry(Btn_Open->x(), Btn_Report->y(), std::max(Btn_Open->width(), Text_Width(Btn_Report)),
                            Btn_Report->height());
    Btn_Commission->setGeometry(Btn_Open->x(), Btn_Commission->y(),
                                std::max(Btn_Open->width(), Text_Width(Btn_Commission)), Btn_Commission->height());
    // A notice already up speaks the new language at once, not only after the next check.
    if (!LL_Update->isHidden())
        Show_Update_Notice();
}

void TFTavorixFirmWare::Show_Update_Notice()
{
    LL_Update->setText(Version_Check::Link_Markup(Download_Page_Url(), Space.Str(Main_Window_Text::New_Version)));
    LL_Update->setAccessibleName(Space.Str(Main_Window_Text::New_Version));
}

void TFTavorixFirmWare::Show_Status(std::function<QString()> Text)
{
    Status_Text = std::move(Text);
    L_Status->setText(Status_Text ? Status_Text() : QString());
}

void TFTavorixFirmWare::Show_Configuration_Lines()
{
    if (Space.Is_Project_Active()) {
        L_Name_Conf->setText(Space.Str(Main_Window_Text::Opened_Configuration));
        const QString Name = Read_Only.isEmpty() ? Space.Project_Name
                                                 : Space.Str(Main_Window_Text::Read_Only_Mark).arg(Space.Project_Name);
        // A long name ends in "…" within the frame; the whole name is in the tooltip.
        const QString Shown = L_Name_Conf_L2->fontMetrics().elidedText(Name, Qt::ElideRight, L_Name_Conf_L2->width() - 2);
        L_Name_Conf_L2->setText(Shown);
        L_Name_Conf_L2->setToolTip(Shown == Name ? QString() : Name);
    } else {
        L_Name_Conf->setText(Space.Str(Main_Window_Text::No_Configuration));
        L_Name_Conf_L2->setText(Space.Str(Main_Window_Text::Use_Step_1));
        L_Name_Conf_L2->setToolTip(QString());
    }
}

void TFTavorixFirmWare::Change_Language()
{
    Set_Lang();
    // A window not built yet takes the language when it is built.
    if (FNew_Project)
        FNew_Project->Set_Lang();
    if (FOpenConf)
        FOpenConf->Set_Lang();
    if (FSoftOptions)
        FSoftOptions->Set_Lang();
    if (FBoot)
        FBoot->Set_Lang();
    if (FFind_Gateways)
        FFind_Gateways->Set_Lang();
    if (FCommission)
        FCommission->Set_Lang();
    if (FParGen)
        FParGen->Set_Lang();
    if (FTLS_Server_Known_Cert)
        FTLS_Server_Known_Cert->Set_Lang();
    if (FIEC61850_Variables)
        FIEC61850_Variables->Set_Lang();
    if (FProfinetFileName)
        FProfinetFileName->Set_Lang();
    if (FAbout)
        FAbout->Set_Lang();
}

void TFTavorixFirmWare::Show_Version_Answer(bool Newer_Published)
{
    if (Newer_Published)
        Show_Update_Notice();
    LL_Update->setVisible(Newer_Published);
}

void TFTavorixFirmWare::Btn_Click(QPushButton* Button)
{
    Run_Guarded(*Services.Prompts, [&] {
        if (Button == Btn_New) {
            Create_New_Project();
        } else if (Button == Btn_Open) {
            Open_Project();
        } else if (Button == Btn_Close) {
            close();
        } else if (Button == Btn_Info) {
            About().exec();
        } else if (Button == Btn_Opz) {
            if (Soft_Options().exec() == QDialog::Accepted) {
                Save_Setting();
                Update_Watch.Apply_Timer_Rule(Space.Update_Timer_Wanted());
            }
        } else if (Button == Btn_Find_Gateways) {
            Find_Gateways().Execute();
        } else if (Button == Btn_Commission) {
            Commission().Execute();
        } else if (!Space.Is_Project_Active()) {
            Services.Prompts->Error(Space.Str(Main_Window_Text::None_Open));
        } else if (Button == Btn_Prm_Gen) {
            Prepare(Par_Gen().Guard());
            FParGen->Execute();
        } else if (Button == Btn_TLS_List_Certificates) {
            Prepare(Known_Cert().Guard());
            FTLS_Server_Known_Cert->Execute();
        } else if (Button == Btn_IEC61850_Access) {
            Prepare(Variables().Guard());
            FIEC61850_Variables->Execute();
        } else if (Button == Btn_PROFINET_XML) {
            PROFINET_XML();
        } else if (Button == Btn_CreateBin) {
            Update_Device();
        } else if (Button == Btn_Report) {
            Review::Ask_And_Write_Report(Space, Services);
        }
    });
}

bool TFTavorixFirmWare::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == L_Korvex && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Space) {
            L_KorvexClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TFTavorixFirmWare::L_KorvexClick()
{
    if (Services.Desktop)
        Services.Desktop->Open_Url(Home_Page_Url());
}

void TFTavorixFirmWare::LL_UpdateLinkClick(const QString& Link)
{
    if (Services.Desktop)
        Services.Desktop->Open_Url(Link);
}

void TFTavorixFirmWare::Claim_Configuration(const QString& Previous)
{
    namespace Text = Main_Window_Text;
    Read_Only.clear();
    if (!Space.Is_Project_Active()) {
        Lock->Release();
        return;
    }
    const QString Name = Space.Project_Name;
    switch (Lock->Take(Space.Project_Dir)) {
    case Project_Lock::Outcome::Taken: return;
    case Project_Lock::Outcome::Failed:
        Lock->Release();
        Read_Only = Space.Str(Text::Unlockable_Read_Only).arg(Name, QDir::toNativeSeparators(Space.Project_Dir));
        return;
    case Project_Lock::Outcome::Held_Elsewhere: break;
    }
    const Project_Lock::Holder Who = *Lock->Other;
    const QStringList Holder{Who.Host, QString::number(Who.Pid), QLocale().toString(Who.Since, QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
    if (Services.Prompts->Confirm_Default_No(Space.Str(Text::Held_Question).arg(Name, Holder[0], Holder[1], Holder[2]))) {
        Lock->Release();
        Read_Only = Space.Str(Text::Held_Read_Only).arg(Name, Holder[0], Holder[1], Holder[2]);
        return;
    }
    // Not at all: back to the configuration this program held, or to none.
    Space.Activate_Project(Previous);
    if (!Space.Is_Project_Active() || !Lock->Held()
        || QDir(Lock->Dir()).canonicalPath() != QDir(Space.Project_Dir).canonicalPath()) {
        Space.Activate_Project(QString());
        Lock->Release();
    }
}

void TFTavorixFirmWare::Prepare(Save_Guard& Guard)
{
    Guard.Read_Only_Reason = Read_Only;
    Guard.Show_Differences = [this](QWidget* Parent, const QString& File_Name, const QByteArray& Mine,
                                    const QString& Disk_Path) {
        System_Decimal_Separator System;
        TFCompare::Show_File_Differences(Space, Services.Separator ? *Services.Separator : System, *Services.Prompts,
                                         Parent, File_Name, Mine, Disk_Path);
    };
}

bool TFTavorixFirmWare::Refuse_Read_Only()
{
    if (Read_Only.isEmpty())
        return false;
    Services.Prompts->Error(Read_Only);
    return true;
}

void TFTavorixFirmWare::Create_New_Project()
{
    const QString Previous = Active_Configuration_Name(Space);
    if (New_Project().exec() != QDialog::Accepted)
        return;
    Claim_Configuration(Previous);
    // What the status line told was about the configuration left behind.
    Show_Status({});
    Show_Configuration_Lines();
}

void TFTavorixFirmWare::Open_Project()
{
    const QString Previous = Active_Configuration_Name(Space);
    // A deleted or renamed configuration changes the lines even when nothing is opened.
    if (Open_Conf().exec() != QDialog::Accepted) {
        if (Active_Configuration_Name(Space) != Previous || !Space.Is_Project_Active())
            Claim_Configuration(Previous);
        return Show_Configuration_Lines();
    }
    Space.Activate_Project(FOpenConf->Name_Conf);
    Claim_Configuration(Previous);
    Show_Status({});
    Show_Configuration_Lines();
}

bool TFTavorixFirmWare::Refuse_Files_Read_As_Defaults()
{
    // A file whose root is preceded by a comment or declaration would be compiled
    // or described with default values the engineer never wrote.
    for (const QString& File : {Space.File_ParGen, Space.File_IEC61850_Variables, Space.File_TLS_Known_Cert})
        if (const auto Defaults = Checks::Read_As_Defaults_Message(File, Space.Lang_Strings)) {
            Services.Prompts->Error(*Defaults);
            return true;
        }
    return false;
}

void TFTavorixFirmWare::Notice_Default_Parameters()
{
    // The device or its description would otherwise get values the user never chose, unknowingly.
    if (!QFileInfo::exists(Space.File_ParGen))
        Services.Prompts->Information(
            Space.Str(Main_Window_Text::Default_Parameters).arg(QDir::toNativeSeparators(Space.File_ParGen)));
}

bool TFTavorixFirmWare::Update_Device()
{
    Show_Status({});
    if (Refuse_Read_Only())
        return false;
    // The banks an updater still running reads are not replaced under it.
    if (FBoot && FBoot->Refuse_While_Updater_Runs())
        return false;
    if (Refuse_Files_Read_As_Defaults())
        return false;
    Notice_Default_Parameters();
    if (const auto Compiled = Compile_And_Save_Banks(*Image, Space); !Compiled) {
        Services.Prompts->Error(Compiled.error().Text);
        return false;
    }
    const QString Bin = Workspace::Join(Space.Project_Dir, QStringLiteral("bin"));
    const qint64 Bank_1 = QFileInfo(Workspace::Join(Bin, QStringLiteral("bank1.bin"))).size();
    const qint64 Bank_2 = QFileInfo(Workspace::Join(Bin, QStringLiteral("bank2.bin"))).size();
    Show_Status([this, Bin, Bank_1, Bank_2] {
        return Space.Str(Main_Window_Text::Banks_Written).arg(QDir::toNativeSeparators(Bin)).arg(Bank_1).arg(Bank_2);
    });
    Boot().Run_Ethernet_Update();
    return true;
}

void TFTavorixFirmWare::PROFINET_XML()
{
    Show_Status({});
    if (Refuse_Read_Only())
        return;
    if (Refuse_Files_Read_As_Defaults())
        return;
    Notice_Default_Parameters();
    if (Profinet_File_Name().exec() != QDialog::Accepted)
        return;
    if (const std::optional<QString> Written = FProfinetFileName->Save_Profinet_XML(*Services.Save_Dialog))
        Show_Status([this, Path = QDir::toNativeSeparators(*Written)] {
            return Space.Str(Main_Window_Text::Gsdml_Written).arg(Path);
        });
}

void TFTavorixFirmWare::Save_Setting()
{
    if (const auto Saved = Space.Save_Setting(); !Saved)
        Services.Prompts->Error(QStringLiteral("The settings file could not be written: ") + Space.Write_Failure_Text(Saved.error()));
}

void TFTavorixFirmWare::closeEvent(QCloseEvent* Event)
{
    Save_Setting();
    Event->accept();
}
