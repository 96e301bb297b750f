#include "gsdml/TFProfinetFileName.h"

#include "gsdml/Gsdml_Texts.h"
#include "gsdml/Profinet_File_Name.h"
#include "gsdml/Profinet_XML.h"
#include "platform/Prompter.h"
#include "platform/Save_File_Dialog.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <tuple>

namespace {
constexpr int File_Name_Width = 540;
constexpr int File_Name_Height = 205;
constexpr int Heading_Top = 92;
constexpr int Part_Top = 114;
constexpr int Part_Height = 26;
constexpr int Fix1_X = 12;
constexpr int Fix1_W = 206;
constexpr int User_X = Fix1_X + Fix1_W + 4;
constexpr int User_W = 190;
constexpr int Fix2_X = User_X + User_W + 4;
constexpr int Fix2_W = File_Name_Width - 12 - Fix2_X;

QLabel* Make_Label(QWidget* Parent, const char* Name, int X, int Y, int W, int H)
{
    return Make_Control<QLabel>(Parent, QString::fromLatin1(Name), {X, Y, W, H});
}
} // namespace

TFProfinetFileName::TFProfinetFileName(Workspace& Space_, Prompter& Prompts_, const QDate& Start_Date, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Prompts(Prompts_)
{
    setObjectName(QStringLiteral("TFProfinetFileName"));
    FormCreate(Start_Date);
}

void TFProfinetFileName::FormCreate(const QDate& Start_Date)
{
    setFixedSize(File_Name_Width, File_Name_Height);
    Title = Make_Title_Area(this, File_Name_Width);
    Title.L_SW_Code->setText(Space.SW_Code);

    Label1 = Make_Label(this, "Label1", 12, 66, File_Name_Width - 24, 20);
    Label2 = Make_Label(this, "Label2", Fix1_X, Heading_Top, Fix1_W, 20);
    Label4 = Make_Label(this, "Label4", User_X, Heading_Top, User_W, 20);
    Label5 = Make_Label(this, "Label5", Fix2_X, Heading_Top, Fix2_W, 20);

    // The parts read as one name: the fixed parts sit flush against the user's edit.
    L_XML_Fix1 = Make_Label(this, "L_XML_Fix1", Fix1_X, Part_Top, Fix1_W, Part_Height);
    L_XML_Fix1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    L_XML_Fix1->setText(Profinet_File_Name_Fix1);
    E_XML_User = Make_Control<QLineEdit>(this, QStringLiteral("E_XML_User"), {User_X, Part_Top, User_W, Part_Height});
    Label4->setBuddy(E_XML_User);
    L_XML_Fix2 = Make_Label(this, "L_XML_Fix2", Fix2_X, Part_Top, Fix2_W, Part_Height);
    L_XML_Fix2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Computed once: a run past midnight keeps the day the program started.
    L_XML_Fix2->setText(Profinet_File_Name_Fix2(Start_Date));

    std::tie(Btn_OK, Btn_Cancel) = Make_Ok_Cancel(this, File_Name_Width - 12, 160, {140, 32}, 10);
    Btn_OK->setDefault(true);
    connect(Btn_OK, &QPushButton::clicked, this, &TFProfinetFileName::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFProfinetFileName::Set_Lang()
{
    setWindowTitle(Space.Str(Gsdml_Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Gsdml_Text::Description));
    Btn_OK->setText(Space.Str(Gsdml_Text::Ok));
    Btn_OK->setAccessibleName(Space.Str(Gsdml_Text::Ok));
    Btn_OK->setToolTip(Space.Str(Gsdml_Text::Ok_Hint));
    Btn_Cancel->setText(Space.Str(Gsdml_Text::Cancel));
    Btn_Cancel->setAccessibleName(Space.Str(Gsdml_Text::Cancel));
    Btn_Cancel->setToolTip(Space.Str(Gsdml_Text::Cancel_Hint));
    Label1->setText(Space.Str(Gsdml_Text::Name_Heading));
    Label2->setText(Space.Str(Gsdml_Text::Fixed_Part_Heading));
    Label4->setText(Space.Str(Gsdml_Text::User_Part_Heading));
    Label5->setText(Space.Str(Gsdml_Text::Date_Part_Heading));
    E_XML_User->setToolTip(Space.Str(Gsdml_Text::User_Part_Hint));
    E_XML_User->setAccessibleName(Space.Str(Gsdml_Text::User_Part_Heading));
    Fit_Row_Right({Btn_OK, Btn_Cancel});
    Fit_Name_Parts();
}

void TFProfinetFileName::Fit_Name_Parts()
{
    // The fixed parts and the headings over them take what their texts need;
    // the user's part gets what is left, never less than half its laid-out width.
    const auto Need = [](QLabel* Part, QLabel* Heading) {
        return std::max({Laid_Out_Geometry(Part).width(), Text_Width(Part), Text_Width(Heading)});
    };
    const int Fix1 = Need(L_XML_Fix1, Label2);
    const int Fix2 = Need(L_XML_Fix2, Label5);
    const int User = std::max({User_W / 2, Text_Width(Label4), File_Name_Width - 24 - 8 - Fix1 - Fix2});
    Widen_Window(this, Fix1 + User + Fix2 + 8 + 24 - File_Name_Width);
    const int User_Left = Fix1_X + Fix1 + 4;
    const int Fix2_Left = User_Left + User + 4;
    for (auto [Part, Heading, X, W] : {std::tuple{L_XML_Fix1, Label2, Fix1_X, Fix1},
                                       std::tuple{L_XML_Fix2, Label5, Fix2_Left, Fix2}}) {
        Part->setGeometry(X, Part_Top, W, Part_Height);
        Heading->setGeometry(X, Heading_Top, W, 20);
    }
    E_XML_User->setGeometry(User_Left, Part_Top, User, Part_Height);
    Label4->setGeometry(User_Left, Heading_Top, User, 20);
    Fit_Width(Label1, width() - File_Name_Width);
    Fit_Row_Right({Btn_OK, Btn_Cancel}, width() - File_Name_Width);
}

void TFProfinetFileName::Btn_OKClick()
{
    const QString User = E_XML_User->text();
    if (const qsizetype Bad = First_Unusable_File_Name_Character(User); Bad >= 0) {
        const QChar C = User[Bad];
        const QString Shown = C.isPrint() && C != u' ' ? QString(C)
                                                       : QStringLiteral("U+%1").arg(C.unicode(), 4, 16, QChar(u'0')).toUpper();
        Prompts.Error(Space.Str(Gsdml_Text::Unusable_Character).arg(Shown));
        E_XML_User->setFocus(Qt::OtherFocusReason);
        E_XML_User->setSelection(int(Bad), 1);
        return;
    }
    Name_File_XML = Compose_Profinet_File_Name(L_XML_Fix1->text(), E_XML_User->text(), L_XML_Fix2->text());
    accept();
}

std::optional<QString> TFProfinetFileName::Save_Profinet_XML(Save_File_Dialog& Dialog)
{
    return Save_Profinet_XML(Space, Prompts, Dialog, Name_File_XML);
}

std::optional<QString> TFProfinetFileName::Save_Profinet_XML(const Workspace& Space, Prompter& Prompts,
                                                             Save_File_Dialog& Dialog, const QString& Name)
{
    Save_File_Request Request;
    Request.Initial_Folder = Space.Project_Dir;
    Request.Preset_Name = Name;
    Request.Filter_Description = QStringLiteral("PROFINET XML (*.xml)");
    Request.Filter_Pattern = Name;
    const std::optional<QString> Chosen = Dialog.Ask_Save_Path(Request);
    if (!Chosen)
        return std::nullopt;
    // Only the folder counts: the file keeps the name composed before.
    const QString Path = Workspace::Join(QFileInfo(*Chosen).absolutePath(), Name);
    if (QFileInfo::exists(Path) && !Prompts.Confirm_Default_No(Space.Str(Gsdml_Text::Overwrite_Question)))
        return std::nullopt;
    if (const auto Written = Profinet_XML(Space).Create_Profinet_XML(Path); !Written) {
        Prompts.Error(Space.Write_Failure_Text(Written.error()));
        return std::nullopt;
    }
    return Path;
}
