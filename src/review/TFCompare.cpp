#include "review/TFCompare.h"

#include "review/Review_Texts.h"
#include "editors/Editor_Texts.h"
#include "platform/File_Read.h"
#include "platform/Prompter.h"
#include "foundation/Workspace.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace Review {

std::expected<QList<Difference>, Read_Failure> Compare_File_Versions(const QString& Config_Dir, const QString& File_Name,
                                                                     const QByteArray& A, const QByteArray& B,
                                                                     Decimal_Separator& Separator)
{
    QTemporaryDir Work;
    const QString Dir_A = Work.filePath(QStringLiteral("a"));
    const QString Dir_B = Work.filePath(QStringLiteral("b"));
    const auto Put = [&](const QString& Dir, const QByteArray& Bytes) {
        if (!QDir().mkpath(Dir))
            return false;
        for (const char* Other : {"ParGen.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"}) {
            const QString Name = QString::fromLatin1(Other);
            const auto Now = Read_Regular_File(QDir(Config_Dir).filePath(Name));
            if (Name == File_Name || !Now)
                continue;
            QFile Copy(QDir(Dir).filePath(Name));
            if (!Copy.open(QIODevice::WriteOnly) || Copy.write(*Now) != Now->size() || !Copy.flush())
                return false;
        }
        QFile File(QDir(Dir).filePath(File_Name));
        return File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size() && File.flush();
    };
    if (!Work.isValid() || !Put(Dir_A, A) || !Put(Dir_B, B))
        return std::unexpected(Read_Failure{File_Name, Work.errorString()});
    auto Found = Compare(Dir_A, Dir_B, Separator);
    // A failure names the file, not the folder it was put in.
    if (!Found)
        return std::unexpected(Read_Failure{File_Name, Found.error().Reason});
    return Found;
}

} // namespace Review

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
    // The two configurations' columns share what the items leave.
    Tree_Differences->header()->setStretchLastSection(false);
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
        // A description is told with its mark: the device is given nothing of it.
        const QString Item =
            D.Sent_To_Device ? D.Item : D.Item + QLatin1Char(' ') + Space.Str(Review::Diff_Text::Not_Sent);
        auto* Line = new QTreeWidgetItem(Group, {Item, D.A, D.B});
        for (int Column = 0; Column < 3; ++Column)
            Line->setToolTip(Column, Line->text(Column));
    }
    Tree_Differences->expandAll();
    Fit_Names();
    // The device is given the same configuration; descriptions that differ are still listed.
    L_Same->setVisible(Review::Same_Device_Configuration(Shown));
    Tree_Differences->setVisible(!Shown.isEmpty());
}

void TFCompare::Show_File_Differences(Workspace& Space, Decimal_Separator& Separator, Prompter& Prompts,
                                      QWidget* Parent, const QString& File_Name, const QByteArray& Mine,
                                      const QString& Disk_Path)
{
    const auto On_Disk = Read_Regular_File(Disk_Path);
    if (!On_Disk && !On_Disk.error().Missing) {
        Prompts.Error(Space.Str(Guard_Text::Differences_Unreadable)
                          .arg(QDir::toNativeSeparators(Disk_Path), On_Disk.error().Text));
        return;
    }
    const auto Found = Review::Compare_File_Versions(QFileInfo(Disk_Path).absolutePath(), File_Name,
                                                     On_Disk.value_or(QByteArray()), Mine, Separator);
    if (!Found) {
        Prompts.Error(
            Space.Str(Guard_Text::Differences_Unreadable).arg(QDir::toNativeSeparators(Disk_Path), Found.error().Reason));
        return;
    }
    TFCompare Window(Space, Parent);
    Window.Execute(Space.Str(Guard_Text::On_Disk), Space.Str(Guard_Text::In_This_Window), *Found);
}

void TFCompare::Fit_Names()
{
    const QString Heading = Space.Str(Compare_Text::Heading);
    const QFontMetrics Label_Font = L_Heading->fontMetrics();
    // Each name gets half of what the heading's own words leave.
    const int Words = Label_Font.horizontalAdvance(QString(Heading).remove(QStringLiteral("%1")).remove(QStringLiteral("%2")));
    const int Each = std::max(40, (L_Heading->width() - Words) / 2 - 4);
    L_Heading->setText(Heading.arg(Label_Font.elidedText(Name_A, Qt::ElideMiddle, Each),
                                   Label_Font.elidedText(Name_B, Qt::ElideMiddle, Each)));
    L_Heading->setToolTip(Heading.arg(Name_A, Name_B));

    QHeaderView* Header = Tree_Differences->header();
    Tree_Differences->resizeColumnToContents(0);
    const int Available = Tree_Differences->viewport()->width() - Header->sectionSize(0);
    const int Column_W = std::max(80, Available / 2);
    QTreeWidgetItem* Header_Item = Tree_Differences->headerItem();
    const QFontMetrics Header_Font = Header->fontMetrics();
    const int Margin = 2 * Header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, Header) + 8;
    const QString Names[] = {Name_A, Name_B};
    for (int Column = 1; Column < 3; ++Column) {
        Tree_Differences->setColumnWidth(Column, Column_W);
        Header_Item->setText(Column, Header_Font.elidedText(Names[Column - 1], Qt::ElideMiddle, Column_W - Margin));
        Header_Item->setToolTip(Column, Names[Column - 1]);
    }
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
    Fit_Names();
}
