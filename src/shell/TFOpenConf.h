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

// Lists the configuration directories and returns the chosen name in
// Name_Conf. Its commands duplicate, rename and delete the selected
// configuration; a duplicate or a rename closes the dialog as if the result
// had been chosen.
class TFOpenConf : public QDialog {
    Q_OBJECT
public:
    TFOpenConf(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr);
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
    // The selected name, or empty after telling the user to select one.
    QString Selected();
    void Save_Setting();

    Workspace& Space;
    Prompter& Prompts;
    TFConf_Name* FConf_Name;
    Title_Area Title;
    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QPushButton* Btn_Duplicate;
    QPushButton* Btn_Rename;
    QPushButton* Btn_Delete;
    QStringList SL;
};
