#include "localisation/TFSoftOptions.h"

#include "localisation/Language_Files.h"
#include "localisation/Options_Texts.h"
#include "localisation/Ui_Qt_Translation.h"
#include "localisation/Version_Check.h"
#include "localisation/Version_Watch.h"
#include "platform/Desktop_Shell.h"
#include "platform/Prompter.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Web_Addresses.h"
#include "foundation/Workspace.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <tuple>

namespace {
constexpr int Dialog_W = 480;
constexpr int Dialog_H = 420;
constexpr int Flag_Size = 48;
} // namespace

TFSoftOptions::TFSoftOptions(Workspace& Space_, Platform_Services Services_, Version_Watch& Watch_,
                             std::function<void()> Change_All_Languages_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Services(Services_), Watch(Watch_),
      Change_All_Languages(std::move(Change_All_Languages_))
{
    setObjectName(QStringLiteral("TFSoftOptions"));
    setFixedSize(Dialog_W, Dialog_H);
    Title = Make_Title_Area(this, Dialog_W);
    Title.L_SW_Code->setText(Space.SW_Code);

    PC_Options = Make_Control<QTabWidget>(this, QStringLiteral("PC_Options"), {12, 68, Dialog_W - 24, 296});

    PC_Options->addTab(Build_Language_Page(), QString());
    PC_Options->addTab(Build_Connection_Page(), QString());
    PC_Options->addTab(Build_Settings_Page(), QString());

    for (QCheckBox* Box : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
        connect(Box, &QCheckBox::toggled, this, &TFSoftOptions::Update_CheckBox);

    std::tie(Btn_OK, Btn_Cancel) = Make_Ok_Cancel(this, Dialog_W - 12, Dialog_H - 44, {130, 32}, 10);
    connect(Btn_OK, &QPushButton::clicked, this, &TFSoftOptions::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    Set_Lang();
}

// Six places in two columns, the page controls under them.
QWidget* TFSoftOptions::Build_Language_Page()
{
    TS_Language = Make_Control<QWidget>(nullptr, QStringLiteral("TS_Language"));
    L_Sel_Lang = Make_Control<QLabel>(TS_Language, QStringLiteral("L_Sel_Lang"), {12, 10, 428, 22});
    for (int K = 0; K < 6; ++K) {
        const int X = K < 3 ? 16 : 232;
        const int Y = 42 + (K % 3) * 58;
        I_L[K] = Make_Control<QLabel>(TS_Language, QStringLiteral("I_L%1").arg(K + 1), {X, Y, Flag_Size, Flag_Size});
        I_L[K]->setScaledContents(true);
        L_L[K] = Make_Control<QLabel>(TS_Language, QStringLiteral("L_L%1").arg(K + 1),
                                      {X + Flag_Size + 10, Y, 150, Flag_Size});
        L_L[K]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // A name can be chosen from the keyboard as well: Tab to it, then Space or Enter.
        L_L[K]->setFocusPolicy(Qt::StrongFocus);
        L_L[K]->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted palette(highlight); }"));
        for (QLabel* Clickable : {I_L[K], L_L[K]}) {
            Clickable->setCursor(Qt::PointingHandCursor);
            Clickable->installEventFilter(this);
        }
    }
    Btn_Prev = Make_Control<QPushButton>(TS_Language, QStringLiteral("Btn_Prev"), {12, 222, 110, 30});
    L_Page_Lang = Make_Control<QLabel>(TS_Language, QStringLiteral("L_Page_Lang"), {130, 222, 192, 30});
    L_Page_Lang->setAlignment(Qt::AlignCenter);
    Btn_Next = Make_Control<QPushButton>(TS_Language, QStringLiteral("Btn_Next"), {330, 222, 110, 30});
    for (QPushButton* Button : {Btn_Prev, Btn_Next}) {
        Button->setAutoDefault(false);
        connect(Button, &QPushButton::clicked, this, [this, Button] { Btn_NextClick(Button); });
    }
    return TS_Language;
}

// The version check sits indented under the internet switch it needs.
QWidget* TFSoftOptions::Build_Connection_Page()
{
    TS_Con_Options = Make_Control<QWidget>(nullptr, QStringLiteral("TS_Con_Options"));
    CB_En_Con = Make_Control<QCheckBox>(TS_Con_Options, QStringLiteral("CB_En_Con"), {12, 16, 428, 24});
    CB_Update = Make_Control<QCheckBox>(TS_Con_Options, QStringLiteral("CB_Update"), {36, 48, 404, 24});
    Btn_Check_Update = Make_Control<QPushButton>(TS_Con_Options, QStringLiteral("Btn_Check_Update"), {36, 84, 220, 32});
    Btn_Check_Update->setAutoDefault(false);
    LL_Check_Update = Make_Control<QLabel>(TS_Con_Options, QStringLiteral("LL_Check_Update"), {36, 126, 404, 44});
    LL_Check_Update->setWordWrap(true);
    LL_Check_Update->setTextFormat(Qt::RichText);
    LL_Check_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(Btn_Check_Update, &QPushButton::clicked, this, &TFSoftOptions::Btn_Check_UpdateClick);
    connect(LL_Check_Update, &QLabel::linkActivated, this, &TFSoftOptions::LL_Check_UpdateLinkClick);
    return TS_Con_Options;
}

QWidget* TFSoftOptions::Build_Settings_Page()
{
    TS_Soft_Settings = Make_Control<QWidget>(nullptr, QStringLiteral("TS_Soft_Settings"));
    CB_Soft_Set_Jump_Table =
        Make_Control<QCheckBox>(TS_Soft_Settings, QStringLiteral("CB_Soft_Set_Jump_Table"), {12, 16, 428, 24});
    CB_DoubleClick_Auto_Size =
        Make_Control<QCheckBox>(TS_Soft_Settings, QStringLiteral("CB_DoubleClick_Auto_Size"), {12, 48, 428, 24});
    return TS_Soft_Settings;
}

QString TFSoftOptions::Page_Line(int Page, int Count) const
{
    return Space.Str(Options_Text::Page) + QString::number(Page) + Space.Str(Options_Text::Page_Of)
           + QString::number(Count);
}

void TFSoftOptions::Set_Lang()
{
    setWindowTitle(Space.Str(Options_Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Options_Text::Description));
    PC_Options->setTabText(PC_Options->indexOf(TS_Language), Space.Str(Options_Text::Language_Tab));
    PC_Options->setTabText(PC_Options->indexOf(TS_Con_Options), Space.Str(Options_Text::Connection_Tab));
    PC_Options->setTabText(PC_Options->indexOf(TS_Soft_Settings), Space.Str(Options_Text::Settings_Tab));
    L_Sel_Lang->setText(Space.Str(Options_Text::Selected_Language));
    L_Page_Lang->setText(Page_Line(1, 1));
    Btn_Prev->setText(Space.Str(Options_Text::Previous));
    Btn_Next->setText(Space.Str(Options_Text::Next));
    CB_En_Con->setText(Space.Str(Options_Text::Enable_Internet_Box));
    CB_Update->setText(Space.Str(Options_Text::Check_At_Start_Box));
    Btn_Check_Update->setText(Space.Str(Options_Text::Check_Update_Button));
    CB_Soft_Set_Jump_Table->setText(Space.Str(Options_Text::Jump_Table_Box));
    CB_DoubleClick_Auto_Size->setText(Space.Str(Options_Text::Double_Click_Size_Box));
    Btn_OK->setText(Space.Str(Options_Text::Ok));
    Btn_Cancel->setText(Space.Str(Options_Text::Cancel));
    Fit_Texts();
    // The answer of a check already shown follows a language picked after it.
    if (!LL_Check_Update->isHidden())
        Show_Check_Answer();
}

void TFSoftOptions::Fit_Texts()
{
    // The check boxes and the tab captions span the pages: when one of them
    // needs more room, the whole dialog widens by as much.
    int Growth = Text_Width(PC_Options->tabBar()) - Laid_Out_Geometry(PC_Options).width();
    for (QCheckBox* Box : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
        Growth = std::max(Growth, Text_Width(Box) - Laid_Out_Geometry(Box).width());
    Fit_Row_Left({Btn_Check_Update});
    Growth = std::max(Growth, Btn_Check_Update->geometry().right() + 1 - Laid_Out_Geometry(CB_Update).right() - 1);
    Growth = std::max(0, Growth);
    Widen_Window(this, Growth);
    for (QWidget* Part : std::initializer_list<QWidget*>{Title.L_SW_Desc, PC_Options, L_Sel_Lang, CB_En_Con, CB_Update,
                                                         LL_Check_Update, CB_Soft_Set_Jump_Table,
                                                         CB_DoubleClick_Auto_Size})
        Fit_Width(Part, Growth);
    // Previous stays at the left, Next at the right, the page line between them.
    Fit_Row_Left({Btn_Prev});
    Fit_Row_Right({Btn_Next}, Growth);
    const QRect Page = Laid_Out_Geometry(L_Page_Lang);
    L_Page_Lang->setGeometry(Btn_Prev->geometry().right() + 9, Page.y(),
                             Btn_Next->x() - 8 - (Btn_Prev->geometry().right() + 9), Page.height());
    Fit_Row_Right({Btn_OK, Btn_Cancel}, Growth);
}

void TFSoftOptions::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TFSoftOptions::FormShow()
{
    Language_In_Use = Space.Language_Name;
    Language_At_Open = Language_In_Use;
    Create_Lang_List();
    Update_CheckBox();
    LL_Check_Update->hide();
    PC_Options->setCurrentWidget(TS_Language);
    CB_En_Con->setChecked(Space.Enable_Internet);
    CB_Update->setChecked(Space.Enable_Update);
    CB_Soft_Set_Jump_Table->setChecked(Space.Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->setChecked(Space.Double_Click_Auto_Size);
    Update_CheckBox();
}

void TFSoftOptions::Create_Lang_List()
{
    SL_Languages = List_Language_Files(Space.Language_Dir);
    Show_Page = 1;
    Update_Lang_Page(1);
}

void TFSoftOptions::Update_Lang_Page(int Num_Page)
{
    const int Count = Language_Page_Count(SL_Languages.size());
    L_Sel_Lang->setText(Space.Str(Options_Text::Selected_Language) + Language_In_Use);
    L_Page_Lang->setText(Page_Line(Num_Page, Count));
    Btn_Prev->setVisible(Num_Page != 1);
    Btn_Next->setVisible(Num_Page != Count);
    const qsizetype First = qsizetype(Num_Page - 1) * Languages_Per_Page;
    const int Shown = int(std::clamp<qsizetype>(SL_Languages.size() - First, 0, Languages_Per_Page));
    for (int K = 0; K < Languages_Per_Page; ++K) {
        I_L[K]->setVisible(K < Shown);
        L_L[K]->setVisible(K < Shown);
        if (K >= Shown)
            continue;
        const QString Language = SL_Languages[First + K].chopped(4);
        L_L[K]->setText(Language);
        L_L[K]->setAccessibleName(Language);
        I_L[K]->setAccessibleName(Language);
        Show_Flag(K, Language);
    }
}

void TFSoftOptions::Show_Flag(int Place, const QString& Language)
{
    // A picture that cannot be read is passed over like a missing one, so one
    // broken file costs its place the picture, never the whole page.
    for (const QString& Path : Flag_Picture_Candidates(Space.Language_Dir, Language)) {
        const QPixmap Picture(Path);
        if (!Picture.isNull()) {
            I_L[Place]->setPixmap(Picture);
            return;
        }
    }
    I_L[Place]->setPixmap(QPixmap());
}

void TFSoftOptions::Btn_NextClick(QPushButton* Button)
{
    const int Count = Language_Page_Count(SL_Languages.size());
    if (Button == Btn_Next && Count >= Show_Page + 1)
        ++Show_Page;
    else if (Button == Btn_Prev && Show_Page - 1 > 0)
        --Show_Page;
    Update_Lang_Page(Show_Page);
}

bool TFSoftOptions::eventFilter(QObject* Watched, QEvent* Event)
{
    for (int K = 0; K < Languages_Per_Page; ++K) {
        if (Watched != I_L[K] && Watched != L_L[K])
            continue;
        if (Event->type() == QEvent::MouseButtonRelease) {
            auto* Mouse = static_cast<QMouseEvent*>(Event);
            if (Mouse->button() == Qt::LeftButton && static_cast<QWidget*>(Watched)->rect().contains(Mouse->position().toPoint())) {
                LangClick(K + 1);
                return true;
            }
        } else if (Event->type() == QEvent::KeyPress) {
            const int Key = static_cast<QKeyEvent*>(Event)->key();
            if (Key == Qt::Key_Space || Key == Qt::Key_Return || Key == Qt::Key_Enter) {
                LangClick(K + 1);
                return true;
            }
        }
        break;
    }
    return QDialog::eventFilter(Watched, Event);
}

void TFSoftOptions::LangClick(int Place)
{
    const qsizetype Index = qsizetype(Show_Page - 1) * Languages_Per_Page + Place - 1;
    if (Index < 0 || Index >= SL_Languages.size())
        return;
    const QString Language = SL_Languages[Index].chopped(4);
    if (!Services.Prompts
        || !Services.Prompts->Confirm(Space.Str(Options_Text::Change_Question_From) + Language_In_Use
                                      + Space.Str(Options_Text::Change_Question_To) + Language
                                      + Space.Str(Options_Text::Change_Question_End)))
        return;
    // The table takes the new language now; the setting itself changes only on OK.
    Show_Language(Language);
}

void TFSoftOptions::Show_Language(const QString& Language)
{
    // English stands in when the picked file has gone: what is shown, and
    // what OK keeps, is the language that was loaded.
    Language_In_Use = Load_Language(Space.Lang_Strings, Space.Language_Dir, Language);
    Apply_Qt_Translation(Language_In_Use);
    if (Change_All_Languages)
        Change_All_Languages();
    else
        Set_Lang();
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::reject()
{
    if (Language_In_Use != Language_At_Open)
        Show_Language(Language_At_Open);
    QDialog::reject();
}

void TFSoftOptions::Update_CheckBox()
{
    CB_Update->setEnabled(CB_En_Con->isChecked());
    Btn_Check_Update->setEnabled(CB_Update->isEnabled() && CB_Update->isChecked());
}

bool TFSoftOptions::Check_Version()
{
    return Watch.Check_Version();
}

void TFSoftOptions::Btn_Check_UpdateClick()
{
    Check_Found_Newer = Check_Version();
    Show_Check_Answer();
    LL_Check_Update->show();
}

void TFSoftOptions::Show_Check_Answer()
{
    if (Check_Found_Newer) {
        LL_Check_Update->setText(Version_Check::Link_Markup(Download_Page_Url(), Space.Str(Options_Text::New_Version)));
        LL_Check_Update->setAccessibleName(Space.Str(Options_Text::New_Version));
    } else {
        LL_Check_Update->setText(Space.Str(Options_Text::No_Update).toHtmlEscaped());
        LL_Check_Update->setAccessibleName(Space.Str(Options_Text::No_Update));
    }
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString& Link)
{
    if (Services.Desktop)
        Services.Desktop->Open_Url(Link);
}

void TFSoftOptions::Btn_OKClick()
{
    Space.Language_Name = Language_In_Use;
    Space.Enable_Internet = CB_En_Con->isChecked();
    Space.Enable_Update = CB_Update->isChecked();
    Watch.Apply_Timer_Rule(Space.Update_Timer_Wanted());
    Space.Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->isChecked();
    Space.Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->isChecked();
    accept();
}
