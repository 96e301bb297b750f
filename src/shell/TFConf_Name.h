#pragma once

#include "widgets/Ui_Title_Area.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;
class Prompter;

// Asks the new name of a configuration for a duplicate or a rename. OK hands
// the typed name to Apply, which returns the message slot of a refusal or -1;
// a refused name is shown and stays in the field to be corrected.
class TFConf_Name : public QDialog {
    Q_OBJECT
public:
    using Apply_Name = std::function<int(const QString& Typed)>;

    TFConf_Name(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr);
    void Set_Lang();
    // Shows the dialog titled by slot Title_Slot with Preset in the field;
    // true when Apply took a name.
    bool Ask(int Title_Slot, const QString& Preset, const QString& Source, Apply_Name Apply);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Btn_OKClick();

    Workspace& Space;
    Prompter& Prompts;
    Title_Area Title;
    QLabel* Label1;
    QLineEdit* E_Name;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
    QString Source;
    Apply_Name Apply;
};
