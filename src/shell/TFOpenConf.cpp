#include "shell/TFOpenConf.h"

#include "foundation/Project_Folders.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

TFOpenConf::TFOpenConf(Workspace& Space_, QWidget* Parent) : QDialog(Parent), Space(Space_)
{
    setObjectName(QStringLiteral("TFOpenConf"));
    resize(420, 360);
    setMinimumSize(320, 240);
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

    connect(ListBox1, &QListWidget::itemClicked, this, &TFOpenConf::ListBox1Click);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TFOpenConf::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    setWindowTitle(Space.Str(200));
    Title.L_SW_Desc->setText(Space.Str(201));
    Label1->setText(Space.Str(202));
    ListBox1->setToolTip(Space.Str(205));
    ListBox1->setAccessibleName(Space.Str(202));
    Btn_OK->setText(Space.Str(203));
    Btn_OK->setToolTip(Space.Str(206));
    Btn_Cancel->setText(Space.Str(204));
    Btn_Cancel->setToolTip(Space.Str(207));
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
    ListBox1->setGeometry(12, 92, W - 24, H - 92 - 52);
    Place_Buttons();
}

void TFOpenConf::Place_Buttons()
{
    // Bottom right, each at least 140 wide and as wide as its caption needs.
    const int Cancel_W = std::max(140, Text_Width(Btn_Cancel));
    const int OK_W = std::max(140, Text_Width(Btn_OK));
    Btn_Cancel->setGeometry(width() - 12 - Cancel_W, height() - 44, Cancel_W, 32);
    Btn_OK->setGeometry(Btn_Cancel->x() - 10 - OK_W, height() - 44, OK_W, 32);
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
