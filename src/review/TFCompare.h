#pragma once

#include "review/Configuration_Diff.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;
class Workspace;

// Shows the differences between two configurations, read-only, grouped by file.
class TFCompare : public QDialog {
    Q_OBJECT
public:
    explicit TFCompare(Workspace& Space, QWidget* Parent = nullptr);
    void Set_Lang();
    // Shows the differences of Name_A against Name_B (and waits until closed).
    void Execute(const QString& Name_A, const QString& Name_B, const QList<Review::Difference>& Differences);

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void Fill();

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
