#pragma once

#include "review/Configuration_Diff.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>

class Decimal_Separator;
class Prompter;
class QLabel;
class QPushButton;
class QTreeWidget;
class Workspace;

namespace Review {

// The differences between two versions of one project file, named File_Name
// ("ParGen.xml", ...), by the comparison of configurations: each version is
// put in a folder of its own beside the other project files of Config_Dir as
// they are now (what the device receives of one file depends on the others,
// the known certificates on the general parameters).
std::expected<QList<Difference>, Read_Failure> Compare_File_Versions(const QString& Config_Dir, const QString& File_Name,
                                                                     const QByteArray& A, const QByteArray& B,
                                                                     Decimal_Separator& Separator);

} // namespace Review

// Shows the differences between two configurations, read-only, grouped by file.
class TFCompare : public QDialog {
    Q_OBJECT
public:
    explicit TFCompare(Workspace& Space, QWidget* Parent = nullptr);
    void Set_Lang();
    // Shows the differences of Name_A against Name_B (and waits until closed).
    void Execute(const QString& Name_A, const QString& Name_B, const QList<Review::Difference>& Differences);

    // What an editor would write (Mine) against the file at Disk_Path as it
    // is now, item by item, in a comparison window over Parent.
    static void Show_File_Differences(Workspace& Space, Decimal_Separator& Separator, Prompter& Prompts, QWidget* Parent,
                                      const QString& File_Name, const QByteArray& Mine, const QString& Disk_Path);

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void Fill();
    // The two names in the heading and the column headers, each elided in the
    // middle where it is too long, whole in the tooltip.
    void Fit_Names();

    Workspace& Space;
    Title_Area Title;
    QLabel* L_Heading;
    QTreeWidget* Tree_Differences;
    QLabel* L_Same;
    QPushButton* Btn_Close;
    QString Name_A;
    QString Name_B;
    QList<Review::Difference> Shown;
};
