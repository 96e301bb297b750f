#pragma once

#include "project/Project_History.h"
#include "review/Configuration_Diff.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>
#include <QList>

#include <functional>

class Decimal_Separator;
class Prompter;
class QLabel;
class QPushButton;
class QTreeWidget;
class Workspace;

// The earlier versions of a configuration's project files: each with its
// time, its size and what differs from the current file, the differences of
// the selected one item by item; Restore puts the selected one back.
class TFHistory : public QDialog {
    Q_OBJECT
public:
    // Before a restore: empty when the configuration's files may be
    // replaced, otherwise why not.
    using Restore_Check = std::function<QString(const QString& Config_Dir)>;

    TFHistory(Workspace& Space, Prompter& Prompts, Decimal_Separator& Separator, QWidget* Parent = nullptr);
    void Set_Lang();
    // Shows the versions of the configuration Name (and waits until closed).
    void Execute(const QString& Name, const QString& Config_Dir, Restore_Check May_Restore);
    void Btn_RestoreClick();

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void Fill();
    void Show_Selected();

    Workspace& Space;
    Prompter& Prompts;
    Decimal_Separator& Separator;
    Title_Area Title;
    QLabel* L_Versions;
    QTreeWidget* Tree_Versions;
    QLabel* L_Differences;
    QTreeWidget* Tree_Differences;
    QPushButton* Btn_Restore;
    QPushButton* Btn_Close;
    QString Name;
    QString Config_Dir;
    Restore_Check May_Restore;
    QList<Project_History::Version> Versions;
    // Per version: what differs from the current file, or why it could not be compared.
    QList<std::expected<QList<Review::Difference>, Review::Read_Failure>> Differences;
};
