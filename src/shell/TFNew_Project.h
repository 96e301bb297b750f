#pragma once

#include "widgets/Ui_Title_Area.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;
class Prompter;

// Creates a new configuration directory and makes it active.
class TFNew_Project : public QDialog {
    Q_OBJECT
public:
    TFNew_Project(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr);
    void Set_Lang();
    void Btn_OKClick();

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormShow();

    Workspace& Space;
    Prompter& Prompts;
    Title_Area Title;
    QLabel* Label1;
    QLineEdit* E_New_Proj;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
};
