#pragma once

#include "widgets/Ui_Title_Area.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class Workspace;

// Lists the configuration directories and returns the chosen name in Name_Conf.
class TFOpenConf : public QDialog {
    Q_OBJECT
public:
    explicit TFOpenConf(Workspace& Space, QWidget* Parent = nullptr);
    void Set_Lang();

    QString Name_Conf;

protected:
    void showEvent(QShowEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;

private:
    void FormShow();
    void Place_Buttons();
    void ListBox1Click();

    Workspace& Space;
    Title_Area Title;
    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QStringList SL;
};
