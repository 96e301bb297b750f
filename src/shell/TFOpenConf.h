#pragma once

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

// Lists the configuration directories and returns the chosen name in
// Name_Conf. Its commands duplicate, rename and delete the selected
// configuration, or compare the active one with it; a duplicate or a rename
// closes the dialog as if the result had been chosen.
class TFOpenConf : public QDialog {
    Q_OBJECT
public:
    // Separator: how the comparison reads multiplication factors; null: the system's.
    TFOpenConf(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr, Decimal_Separator* Separator = nullptr);
    void Set_Lang();

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
    // The selected name, or empty after telling the user to select one.
    QString Selected();
    void Save_Setting();

    Workspace& Space;
    Prompter& Prompts;
    Decimal_Separator* Separator;
    TFConf_Name* FConf_Name;
    TFCompare* FCompare;
    Title_Area Title;
    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Duplicate;
    QPushButton* Btn_Rename;
    QPushButton* Btn_Delete;
    QPushButton* Btn_Compare;
    QStringList SL;
};
