#include "shell/TFNew_Project.h"
#include "shell/Ui_Click_Guard.h"
#include "shell/Name_Rules.h"

#include "platform/Prompter.h"
#include "foundation/Project_Folders.h"
#include "shell/Shell_Texts.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"
#include "foundation/Workspace.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>

TFNew_Project::TFNew_Project(Workspace& Space_, Prompter& Prompts_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Prompts(Prompts_)
{
    setObjectName(QStringLiteral("TFNew_Project"));
    setFixedSize(420, 180);
    Title = Make_Title_Area(this, width());
    Title.L_SW_Code->setText(Space.SW_Code);

    Label1 = Make_Control<QLabel>(this, QStringLiteral("Label1"), {12, 72, 396, 20});
    Label1->setTextFormat(Qt::PlainText);
    E_New_Proj = Make_Control<QLineEdit>(this, QStringLiteral("E_New_Proj"), {12, 94, 396, 26});
    E_New_Proj->installEventFilter(this);
    Label1->setBuddy(E_New_Proj);

    std::tie(Btn_OK, Btn_Cancel) = Make_Ok_Cancel(this, width() - 12, 136, {140, 32}, 10);
    Btn_OK->setAutoDefault(false);
    connect(Btn_OK, &QPushButton::clicked, this, &TFNew_Project::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    setWindowTitle(Space.Str(New_Project_Text::Title));
    Title.L_SW_Desc->setText(Space.Str(New_Project_Text::Description));
    Label1->setText(Space.Str(New_Project_Text::Name_Label));
    E_New_Proj->setToolTip(Space.Str(New_Project_Text::Name_Hint));
    E_New_Proj->setAccessibleName(Space.Str(New_Project_Text::Name_Label));
    Btn_OK->setText(Space.Str(New_Project_Text::Ok));
    Btn_OK->setToolTip(Space.Str(New_Project_Text::Ok_Hint));
    Btn_Cancel->setText(Space.Str(New_Project_Text::Cancel));
    Btn_Cancel->setToolTip(Space.Str(New_Project_Text::Cancel_Hint));
    Fit_Row_Right({Btn_OK, Btn_Cancel});
}

void TFNew_Project::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    FormShow();
}

void TFNew_Project::FormShow()
{
    E_New_Proj->clear();
    E_New_Proj->setFocus();
}

bool TFNew_Project::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == E_New_Proj && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            Btn_OKClick();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void TFNew_Project::Btn_OKClick()
{
    const New_Project_Result Result = Create_Project(Space, E_New_Proj->text());
    if (Result != New_Project_Result::Created) {
        const QString Refused = Space.Str(New_Project_Message_Slot(Result));
        const QString Rule = Result == New_Project_Result::Not_Created
                                 ? Broken_Name_Rule(Space.Lang_Strings, Refused, E_New_Proj->text())
                                 : QString();
        Prompts.Error(Rule.isEmpty() ? Refused : Rule);
        // Back to the name, ready to be typed over.
        E_New_Proj->setFocus(Qt::OtherFocusReason);
        E_New_Proj->selectAll();
        return;
    }
    // The second click of a double-click on OK must not reach the main window behind.
    if (Btn_OK->underMouse())
        Click_Guard::Guard(QCursor::pos());
    accept();
}
