#pragma once

#include "platform/Decimal_Separator.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class Workspace;
class Prompter;
class TFConf_Name;
class TFCompare;
class Decimal_Separator;
class Project_Lock;
class TFHistory;

// Lists the configuration directories and returns the chosen name in
// Name_Conf. Its commands duplicate, rename and delete the selected
// configuration, compare the active one with it, or list its earlier versions
// and restore one. A duplicate is selected in the list and the dialog stays;
// a rename closes the dialog as if the result had been chosen.
class TFOpenConf : public QDialog {
    Q_OBJECT
public:
    // Separator: how the comparison reads multiplication factors; null: the system's.
    TFOpenConf(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr, Decimal_Separator* Separator = nullptr);
    void Set_Lang();
    // The lock the program holds on the active configuration; a
    // configuration another program holds is neither renamed, deleted nor
    // restored.
    void Use_Lock(Project_Lock* Lock_) { Lock = Lock_; }

    QString Name_Conf;

protected:
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void FormShow();
    void Place_Buttons();
    void ListBox1Click();
    void Btn_DuplicateClick();
    void Btn_RenameClick();
    void Btn_DeleteClick();
    void Btn_CompareClick();
    void Btn_HistoryClick();
    // Why the configuration Name may not be changed now, empty when it may:
    // another program holds it.
    QString Held_Elsewhere(const QString& Name) const;
    // The selected name, or empty after telling the user to select one.
    QString Selected();
    void Save_Setting();

    Workspace& Space;
    Prompter& Prompts;
    Decimal_Separator* Separator;
    System_Decimal_Separator System_Separator;
    TFConf_Name* FConf_Name;
    TFCompare* FCompare;
    TFHistory* FHistory = nullptr;
    Project_Lock* Lock = nullptr;
    Title_Area Title;
    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Duplicate;
    QPushButton* Btn_Rename;
    QPushButton* Btn_Delete;
    QPushButton* Btn_Compare;
    QPushButton* Btn_History;
    QStringList SL;
};
