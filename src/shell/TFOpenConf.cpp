#include "shell/TFOpenConf.h"

#include "foundation/Project_Folders.h"
#include "foundation/Project_Manage.h"
#include "platform/Decimal_Separator.h"
#include "platform/Prompter.h"
#include "review/Configuration_Diff.h"
#include "review/TFCompare.h"
#include "shell/Shell_Texts.h"
#include "shell/TFConf_Name.h"
#include "shell/TFHistory.h"
#include "project/Project_Lock.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>

#include <algorithm>

TFOpenConf::TFOpenConf(Workspace& Space_, Prompter& Prompts_, QWidget* Parent, Decimal_Separator* Separator_)
    : QDialog(Parent), Space(Space_), Prompts(Prompts_), Separator(Separator_)
{
    setObjectName(QStringLiteral("TFOpenConf"));
    resize(560, 400);
    setMinimumSize(420, 280);
    FConf_Name = new TFConf_Name(Space, Prompts, this);
    FCompare = new TFCompare(Space, this);
    Title = Make_Title_Area(this, width());
    Title.L_SW_Code->setText(Space.SW_Code);

    Label1 = Make_Control<QLabel>(this, QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    ListBox1 = Make_Control<QListWidget>(this, QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1->setBuddy(ListBox1);
    // Placed with the texts: each button as wide as its caption needs.
    Btn_OK = Make_Control<QPushButton>(this, QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    Btn_Cancel = Make_Control<QPushButton>(this, QStringLiteral("Btn_Cancel"));
    Btn_Cancel->setAutoDefault(false);
    Btn_Duplicate = Make_Control<QPushButton>(this, QStringLiteral("Btn_Duplicate"));
    Btn_Rename = Make_Control<QPushButton>(this, QStringLiteral("Btn_Rename"));
    Btn_Delete = Make_Control<QPushButton>(this, QStringLiteral("Btn_Delete"));
    Btn_Compare = Make_Control<QPushButton>(this, QStringLiteral("Btn_Compare"));
    Btn_History = Make_Control<QPushButton>(this, QStringLiteral("Btn_History"));
    for (QPushButton* Command : {Btn_Duplicate, Btn_Rename, Btn_Delete, Btn_Compare, Btn_History})
        Command->setAutoDefault(false);

    connect(ListBox1, &QListWidget::itemClicked, this, &TFOpenConf::ListBox1Click);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TFOpenConf::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Btn_Duplicate, &QPushButton::clicked, this, &TFOpenConf::Btn_DuplicateClick);
    connect(Btn_Rename, &QPushButton::clicked, this, &TFOpenConf::Btn_RenameClick);
    connect(Btn_Delete, &QPushButton::clicked, this, &TFOpenConf::Btn_DeleteClick);
    connect(Btn_Compare, &QPushButton::clicked, this, &TFOpenConf::Btn_CompareClick);
    connect(Btn_History, &QPushButton::clicked, this, &TFOpenConf::Btn_HistoryClick);
    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    setWindowTitle(Space.Str(Open_Conf_Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Open_Conf_Text::Description));
    Label1->setText(Space.Str(Open_Conf_Text::List_Label));
    ListBox1->setToolTip(Space.Str(Open_Conf_Text::List_Hint));
    ListBox1->setAccessibleName(Space.Str(Open_Conf_Text::List_Label));
    Btn_OK->setText(Space.Str(Open_Conf_Text::Ok));
    Btn_OK->setToolTip(Space.Str(Open_Conf_Text::Ok_Hint));
    Btn_Cancel->setText(Space.Str(Open_Conf_Text::Cancel));
    Btn_Cancel->setToolTip(Space.Str(Open_Conf_Text::Cancel_Hint));
    const auto Command = [this](QPushButton* Button, int Caption, int Hint) {
        Button->setText(Space.Str(Caption));
        Button->setToolTip(Space.Str(Hint));
    };
    Command(Btn_Duplicate, Open_Conf_Text::Duplicate_Button, Open_Conf_Text::Duplicate_Hint);
    Command(Btn_Rename, Open_Conf_Text::Rename_Button, Open_Conf_Text::Rename_Hint);
    Command(Btn_Delete, Open_Conf_Text::Delete_Button, Open_Conf_Text::Delete_Hint);
    Command(Btn_Compare, Open_Conf_Text::Compare_Button, Open_Conf_Text::Compare_Hint);
    Command(Btn_History, History_Text::Button, History_Text::Button_Hint);
    FConf_Name->Set_Lang();
    FCompare->Set_Lang();
    if (FHistory)
        FHistory->Set_Lang();
    Place_Buttons();
}

void TFOpenConf::resizeEvent(QResizeEvent* Event)
{
    QDialog::resizeEvent(Event);
    // The list grows with the dialog; the buttons stay at the bottom right.
    const int W = width();
    const int H = height();
    Title.L_SW_Code->setFixedWidth(W - 24);
    Title.L_SW_Desc->setFixedWidth(W - 24);
    Label1->setGeometry(12, 70, W - 24, 20);
    ListBox1->setGeometry(12, 92, W - 24, H - 92 - 52 - 42);
    Place_Buttons();
}

void TFOpenConf::Place_Buttons()
{
    // Bottom right, each at least 140 wide and as wide as its caption needs.
    const int Cancel_W = std::max(140, Text_Width(Btn_Cancel));
    const int OK_W = std::max(140, Text_Width(Btn_OK));
    Btn_Cancel->setGeometry(width() - 12 - Cancel_W, height() - 44, Cancel_W, 32);
    Btn_OK->setGeometry(Btn_Cancel->x() - 10 - OK_W, height() - 44, OK_W, 32);
    // The commands on the selected configuration in a row under the list.
    int X = 12;
    for (QPushButton* Command : {Btn_Duplicate, Btn_Rename, Btn_Delete, Btn_Compare}) {
        const int W = std::max(100, Text_Width(Command));
        Command->setGeometry(X, height() - 44 - 42, W, 32);
        X += W + 8;
    }
    // The history of the selected configuration at the bottom left, apart from the commands that change it.
    Btn_History->setGeometry(12, height() - 44, std::max(100, Text_Width(Btn_History)), 32);
}

void TFOpenConf::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TFOpenConf::FormShow()
{
    SL = Load_Existing_Configuration(Space.Projects_Dir);
    {
        const QSignalBlocker Block(ListBox1);
        ListBox1->clear();
        ListBox1->addItems(SL);
    }
    const int Found = Search_Open_Conf(SL, Active_Configuration_Name(Space));
    const int Index = Found >= 0 ? Found : (SL.isEmpty() ? -1 : 0);
    Name_Conf = Index >= 0 ? SL[Index] : QString();
    const QSignalBlocker Block(ListBox1);
    ListBox1->setCurrentRow(Index);
    ListBox1->setFocus();
}

void TFOpenConf::ListBox1Click()
{
    const int Row = ListBox1->currentRow();
    if (Row >= 0 && Row < SL.size())
        Name_Conf = SL[Row];
}

QString TFOpenConf::Selected()
{
    const int Row = ListBox1->currentRow();
    if (Row < 0 || Row >= SL.size()) {
        Prompts.Error(Space.Str(Open_Conf_Text::Nothing_Selected));
        return {};
    }
    return SL[Row];
}

void TFOpenConf::Save_Setting()
{
    // The settings name the active configuration; a restart must find it.
    if (const auto Saved = Space.Save_Setting(); !Saved)
        Prompts.Error(QStringLiteral("The settings file could not be written: ") + Space.Write_Failure_Text(Saved.error()));
}

void TFOpenConf::Btn_DuplicateClick()
{
    const QString Source = Selected();
    if (Source.isEmpty())
        return;
    QString Copy;
    const bool Made = FConf_Name->Ask(Conf_Name_Text::Duplicate_Title, QString(), Source,
                                      [this, &Source, &Copy](const QString& Typed) {
                                          return Manage_Message_Slot(Duplicate_Project(Space, Source, Typed, &Copy));
                                      });
    if (!Made)
        return;
    // The copy is shown selected; opening it is the user's choice, with OK.
    FormShow();
    const int Row = Search_Open_Conf(SL, Copy);
    if (Row >= 0) {
        ListBox1->setCurrentRow(Row);
        Name_Conf = SL[Row];
    }
}

QString TFOpenConf::Held_Elsewhere(const QString& Name) const
{
    const QString Dir = Workspace::Join(Space.Projects_Dir, Name);
    if (Lock && Lock->Held() && QDir(Lock->Dir()).canonicalPath() == QDir(Dir).canonicalPath())
        return {};
    const std::optional<Project_Lock::Holder> Who = Project_Lock::Holder_Of(Dir);
    if (!Who)
        return {};
    return Space.Str(History_Text::Restore_Held)
        .arg(Name, Who->Host, QString::number(Who->Pid), QLocale().toString(Who->Since, QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void TFOpenConf::Btn_HistoryClick()
{
    const QString Name = Selected();
    if (Name.isEmpty())
        return;
    if (!FHistory) {
        FHistory = new TFHistory(Space, Prompts, Separator ? *Separator : System_Separator, this);
    }
    FHistory->Execute(Name, Workspace::Join(Space.Projects_Dir, Name),
                      [this, Name](const QString&) { return Held_Elsewhere(Name); });
}

void TFOpenConf::Btn_RenameClick()
{
    const QString Source = Selected();
    if (Source.isEmpty())
        return;
    if (const QString Held = Held_Elsewhere(Source); !Held.isEmpty()) {
        Prompts.Error(Held);
        return;
    }
    // The lock file moves with the folder: it is given up first and taken again under the new name.
    const bool Was_Locked = Lock && Lock->Held() && Active_Configuration_Name(Space) == Source;
    if (Was_Locked)
        Lock->Release();
    QString Renamed;
    const bool Done =
        FConf_Name->Ask(Conf_Name_Text::Rename_Title, Source, Source, [this, &Source, &Renamed](const QString& Typed) {
            const int Refused = Manage_Message_Slot(Rename_Project(Space, Source, Typed));
            if (Refused < 0)
                Renamed = Typed.normalized(QString::NormalizationForm_C);
            return Refused;
        });
    if (Was_Locked)
        Lock->Take(Space.Project_Dir);
    if (!Done)
        return;
    Name_Conf = Renamed;
    Space.Activate_Project(Renamed);
    Save_Setting();
    accept();
}

void TFOpenConf::Btn_DeleteClick()
{
    const QString Name = Selected();
    if (Name.isEmpty())
        return;
    if (const QString Held = Held_Elsewhere(Name); !Held.isEmpty()) {
        Prompts.Error(Held);
        return;
    }
    if (!Prompts.Confirm_Default_No(Space.Str(Open_Conf_Text::Delete_Question).arg(Name)))
        return;
    const bool Was_Active = Space.Is_Project_Active();
    const bool Was_Locked = Lock && Lock->Held() && Active_Configuration_Name(Space) == Name;
    if (Was_Locked)
        Lock->Release();
    if (const int Refused = Manage_Message_Slot(Delete_Project(Space, Name)); Refused >= 0)
        Prompts.Error(Space.Str(Refused).arg(Name));
    if (Was_Locked && Space.Is_Project_Active())
        Lock->Take(Space.Project_Dir);
    if (Was_Active && !Space.Is_Project_Active())
        Save_Setting();
    FormShow();
}

void TFOpenConf::Btn_CompareClick()
{
    if (!Space.Is_Project_Active()) {
        Prompts.Error(Space.Str(Open_Conf_Text::Nothing_Opened));
        return;
    }
    const QString Other = Selected();
    if (Other.isEmpty())
        return;
    System_Decimal_Separator System;
    const auto Found = Review::Compare(Space.Project_Dir, Workspace::Join(Space.Projects_Dir, Other),
                                       Separator ? *Separator : System);
    if (!Found) {
        Prompts.Error(Space.Str(Open_Conf_Text::Compare_Unreadable)
                          .arg(QDir::toNativeSeparators(Found.error().Path), Found.error().Reason));
        return;
    }
    FCompare->Execute(Space.Project_Name, Other, *Found);
}
