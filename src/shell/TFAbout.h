#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class Workspace;
class Desktop_Shell;

// The software's identity and the link to the maker's home page; fixed
// texts that no language changes, but for the window's title.
class TFAbout : public QDialog {
    Q_OBJECT
public:
    // Desktop may be null: the links then do nothing.
    TFAbout(Workspace& Space, Desktop_Shell* Desktop, QWidget* Parent = nullptr);
    void Label4Click();
    void Set_Lang();

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormShow();
    QLabel* Make_Label(const QString& Name, const QString& Text, int X, int Y, int W, int H);

    Workspace& Space;
    Desktop_Shell* Desktop;
    QLabel* Image2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label12;
    QPushButton* LbButton1;
};
