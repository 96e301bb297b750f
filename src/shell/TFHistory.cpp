#include "shell/TFHistory.h"

#include "foundation/Workspace.h"
#include "platform/File_Read.h"
#include "platform/Prompter.h"
#include "review/Review_Texts.h"
#include "review/TFCompare.h"
#include "shell/Shell_Texts.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

QString Time_Text(const QDateTime& Time) { return QLocale().toString(Time, QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

} // namespace

TFHistory::TFHistory(Workspace& Space_, Prompter& Prompts_, Decimal_Separator& Separator_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Prompts(Prompts_), Separator(Separator_)
{
    setObjectName(QStringLiteral("TFHistory"));
    resize(760, 520);
    setMinimumSize(520, 360);
    Title = Make_Title_Area(this, width());
    Title.L_SW_Code->setText(Space.SW_Code);

    L_Versions = Make_Control<QLabel>(this, QStringLiteral("L_Versions"));
    L_Versions->setTextFormat(Qt::PlainText);
    Tree_Versions = Make_Control<QTreeWidget>(this, QStringLiteral("Tree_Versions"));
    Tree_Versions->setColumnCount(4);
    Tree_Versions->setRootIsDecorated(false);
    Tree_Versions->setUniformRowHeights(true);
    Tree_Versions->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree_Versions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    L_Versions->setBuddy(Tree_Versions);
    L_Differences = Make_Control<QLabel>(this, QStringLiteral("L_Differences"));
    L_Differences->setTextFormat(Qt::PlainText);
    Tree_Differences = Make_Control<QTreeWidget>(this, QStringLiteral("Tree_Differences"));
    Tree_Differences->setColumnCount(3);
    Tree_Differences->setRootIsDecorated(false);
    Tree_Differences->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree_Differences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    L_Differences->setBuddy(Tree_Differences);
    Btn_Restore = Make_Control<QPushButton>(this, QStringLiteral("Btn_Restore"));
    Btn_Restore->setAutoDefault(false);
    Btn_Close = Make_Control<QPushButton>(this, QStringLiteral("Btn_Close"));
    Btn_Close->setDefault(true);

    connect(Tree_Versions, &QTreeWidget::currentItemChanged, this, &TFHistory::Show_Selected);
    connect(Btn_Restore, &QPushButton::clicked, this, &TFHistory::Btn_RestoreClick);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);
    Set_Lang();
}

void TFHistory::Set_Lang()
{
    namespace Text = History_Text;
    setWindowTitle(Space.Str(Text::Title));
    Title.L_SW_Desc->setText(Space.Str(Text::Description).arg(Name));
    L_Versions->setText(Space.Str(Text::Title));
    Tree_Versions->setAccessibleName(Space.Str(Text::Title));
    Tree_Versions->setHeaderLabels({Space.Str(Text::File_Column), Space.Str(Text::Time_Column),
                                    Space.Str(Text::Size_Column), Space.Str(Text::Differences_Column)});
    L_Differences->setText(Space.Str(Text::Differences_Column));
    Tree_Differences->setAccessibleName(Space.Str(Text::Differences_Column));
    Tree_Differences->setHeaderLabels(
        {Space.Str(Compare_Text::Item_Column), Space.Str(Text::This_Version), Space.Str(Text::Current)});
    Btn_Restore->setText(Space.Str(Text::Restore));
    Btn_Restore->setAccessibleName(Space.Str(Text::Restore));
    Btn_Restore->setToolTip(Space.Str(Text::Restore_Hint));
    Btn_Close->setText(Space.Str(Text::Close));
    Btn_Close->setAccessibleName(Space.Str(Text::Close));
    if (!Config_Dir.isEmpty())
        Fill();
    resizeEvent(nullptr);
}

void TFHistory::Execute(const QString& Name_, const QString& Config_Dir_, Restore_Check May_Restore_)
{
    Name = Name_;
    Config_Dir = Config_Dir_;
    May_Restore = std::move(May_Restore_);
    Title.L_SW_Desc->setText(Space.Str(History_Text::Description).arg(Name));
    // Each opening starts at the newest version.
    Tree_Versions->clear();
    Fill();
    exec();
}

void TFHistory::Fill()
{
    namespace Text = History_Text;
    const QString Kept_Name = Tree_Versions->currentItem() ? Tree_Versions->currentItem()->data(0, Qt::UserRole).toString()
                                                           : QString();
    Versions = Project_History::List(Config_Dir);
    Differences.clear();
    const QSignalBlocker Block(Tree_Versions);
    Tree_Versions->clear();
    for (const Project_History::Version& V : Versions) {
        const auto Current = Read_Regular_File(QDir(Config_Dir).filePath(V.File));
        const auto Kept = Read_Regular_File(V.Path);
        std::expected<QList<Review::Difference>, Review::Read_Failure> Found;
        if (!Kept)
            Found = std::unexpected(Review::Read_Failure{V.Path, Kept.error().Text});
        else if (!Current && !Current.error().Missing)
            Found = std::unexpected(Review::Read_Failure{V.File, Current.error().Text});
        else
            Found = Review::Compare_File_Versions(Config_Dir, V.File, *Kept, Current.value_or(QByteArray()), Separator);
        QString Summary;
        if (!Found)
            Summary = Space.Str(Text::Not_Comparable).arg(Found.error().Reason);
        else if (Found->isEmpty() && Kept && *Kept != Current.value_or(QByteArray()))
            Summary = Space.Str(Text::Not_Sent_Only);
        else if (Found->isEmpty())
            Summary = Space.Str(Text::Same_As_Current);
        else if (Found->size() == 1)
            Summary = Space.Str(Text::One_Difference);
        else
            Summary = Space.Str(Text::Differences_Count).arg(Found->size());
        auto* Row = new QTreeWidgetItem(
            Tree_Versions, {V.File, Time_Text(V.Time), Space.Str(Text::Size_Bytes).arg(V.Size), Summary});
        Row->setData(0, Qt::UserRole, V.Name);
        Row->setToolTip(0, V.Name);
        Row->setToolTip(3, Summary);
        Differences.append(Found);
        if (V.Name == Kept_Name)
            Tree_Versions->setCurrentItem(Row);
    }
    if (!Tree_Versions->currentItem() && Tree_Versions->topLevelItemCount() > 0)
        Tree_Versions->setCurrentItem(Tree_Versions->topLevelItem(0));
    for (int Column = 0; Column < 3; ++Column)
        Tree_Versions->resizeColumnToContents(Column);
    Btn_Restore->setEnabled(!Versions.isEmpty());
    if (Versions.isEmpty())
        L_Differences->setText(Space.Str(Text::None_Kept));
    Show_Selected();
}

void TFHistory::Show_Selected()
{
    Tree_Differences->clear();
    const int Row = Tree_Versions->indexOfTopLevelItem(Tree_Versions->currentItem());
    if (Row < 0 || Row >= Differences.size())
        return;
    L_Differences->setText(Space.Str(History_Text::Differences_Column));
    const auto& Found = Differences[Row];
    if (!Found) {
        new QTreeWidgetItem(Tree_Differences, {Space.Str(History_Text::Not_Comparable).arg(Found.error().Reason)});
        return;
    }
    for (const Review::Difference& D : *Found) {
        auto* Line = new QTreeWidgetItem(Tree_Differences, {D.Item, D.A, D.B});
        for (int Column = 0; Column < 3; ++Column)
            Line->setToolTip(Column, Line->text(Column));
    }
    Tree_Differences->resizeColumnToContents(0);
}

void TFHistory::Btn_RestoreClick()
{
    namespace Text = History_Text;
    const int Row = Tree_Versions->indexOfTopLevelItem(Tree_Versions->currentItem());
    if (Row < 0 || Row >= Versions.size()) {
        Prompts.Error(Space.Str(Text::Nothing_Selected));
        return;
    }
    const Project_History::Version Chosen = Versions[Row];
    if (!Prompts.Confirm_Default_No(Space.Str(Text::Restore_Question).arg(Time_Text(Chosen.Time), Chosen.File)))
        return;
    if (May_Restore) {
        if (const QString Refused = May_Restore(Config_Dir); !Refused.isEmpty()) {
            Prompts.Error(Refused);
            return;
        }
    }
    if (const auto Restored = Project_History::Restore(Config_Dir, Chosen); !Restored) {
        Prompts.Error(Space.Write_Failure_Text(Restored.error()));
        Fill();
        return;
    }
    Fill();
    Prompts.Information(Space.Str(Text::Restored).arg(Chosen.File, Time_Text(Chosen.Time)));
}

void TFHistory::resizeEvent(QResizeEvent* Event)
{
    if (Event)
        QDialog::resizeEvent(Event);
    const int W = width();
    const int H = height();
    Title.L_SW_Code->setFixedWidth(W - 24);
    Title.L_SW_Desc->setFixedWidth(W - 24);
    const int List_H = (H - 70 - 52 - 2 * 22) / 2;
    L_Versions->setGeometry(12, 70, W - 24, 20);
    Tree_Versions->setGeometry(12, 92, W - 24, List_H);
    L_Differences->setGeometry(12, 92 + List_H + 4, W - 24, 20);
    Tree_Differences->setGeometry(12, 92 + List_H + 26, W - 24, H - (92 + List_H + 26) - 52);
    const int Close_W = std::max(140, Text_Width(Btn_Close));
    const int Restore_W = std::max(140, Text_Width(Btn_Restore));
    Btn_Close->setGeometry(W - 12 - Close_W, H - 44, Close_W, 32);
    Btn_Restore->setGeometry(12, H - 44, Restore_W, 32);
}
