#include "review/TFCompare.h"

#include "review/Review_Texts.h"
#include "foundation/Workspace.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

TFCompare::TFCompare(Workspace& Space_, QWidget* Parent) : QDialog(Parent), Space(Space_)
{
    setObjectName(QStringLiteral("TFCompare"));
    resize(760, 480);
    setMinimumSize(480, 300);
    Title = Make_Title_Area(this, width());
    Title.L_SW_Code->setText(Space.SW_Code);

    L_Heading = Make_Control<QLabel>(this, QStringLiteral("L_Heading"));
    L_Heading->setTextFormat(Qt::PlainText);
    Tree_Differences = Make_Control<QTreeWidget>(this, QStringLiteral("Tree_Differences"));
    Tree_Differences->setColumnCount(3);
    Tree_Differences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree_Differences->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree_Differences->setUniformRowHeights(true);
    Tree_Differences->header()->setStretchLastSection(true);
    L_Heading->setBuddy(Tree_Differences);
    L_Same = Make_Control<QLabel>(this, QStringLiteral("L_Same"));
    L_Same->setTextFormat(Qt::PlainText);
    L_Same->setWordWrap(true);
    Btn_Close = Make_Control<QPushButton>(this, QStringLiteral("Btn_Close"));
    Btn_Close->setDefault(true);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    Set_Lang();
}

void TFCompare::Set_Lang()
{
    setWindowTitle(Space.Str(Compare_Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Compare_Text::Title));
    Btn_Close->setText(Space.Str(Compare_Text::Close));
    Btn_Close->setAccessibleName(Space.Str(Compare_Text::Close));
    Tree_Differences->setAccessibleName(Space.Str(Compare_Text::Title));
    L_Same->setText(Space.Str(Compare_Text::Same));
    Fill();
}

void TFCompare::Execute(const QString& Name_A_, const QString& Name_B_, const QList<Review::Difference>& Differences)
{
    Name_A = Name_A_;
    Name_B = Name_B_;
    Shown = Differences;
    Fill();
    exec();
}

void TFCompare::Fill()
{
    L_Heading->setText(Space.Str(Compare_Text::Heading).arg(Name_A, Name_B));
    Tree_Differences->setHeaderLabels({Space.Str(Compare_Text::Item_Column), Name_A, Name_B});
    Tree_Differences->clear();
    // One group per file, in the order the differences come.
    QTreeWidgetItem* Group = nullptr;
    for (const Review::Difference& D : Shown) {
        if (!Group || Group->text(0) != D.File) {
            Group = new QTreeWidgetItem(Tree_Differences, {D.File});
            Group->setFirstColumnSpanned(true);
            QFont Bold = Group->font(0);
            Bold.setBold(true);
            Group->setFont(0, Bold);
        }
        auto* Line = new QTreeWidgetItem(Group, {D.Item, D.A, D.B});
        for (int Column = 1; Column < 3; ++Column)
            Line->setToolTip(Column, Line->text(Column));
    }
    Tree_Differences->expandAll();
    Tree_Differences->resizeColumnToContents(0);
    L_Same->setVisible(Shown.isEmpty());
    Tree_Differences->setVisible(!Shown.isEmpty());
}

void TFCompare::resizeEvent(QResizeEvent* Event)
{
    QDialog::resizeEvent(Event);
    const int W = width();
    const int H = height();
    Title.L_SW_Code->setFixedWidth(W - 24);
    Title.L_SW_Desc->setFixedWidth(W - 24);
    L_Heading->setGeometry(12, 70, W - 24, 20);
    Tree_Differences->setGeometry(12, 92, W - 24, H - 92 - 52);
    L_Same->setGeometry(12, 92, W - 24, 40);
    const int Close_W = std::max(140, Text_Width(Btn_Close));
    Btn_Close->setGeometry(W - 12 - Close_W, H - 44, Close_W, 32);
}
