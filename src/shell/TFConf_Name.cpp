#include "shell/TFConf_Name.h"
#include "foundation/Foundation_Texts.h"
#include "shell/Name_Rules.h"

#include "foundation/Workspace.h"
#include "platform/Prompter.h"
#include "shell/Shell_Texts.h"
#include "widgets/Ui_Build.h"
#include "widgets/Ui_Fit_Text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>

TFConf_Name::TFConf_Name(Workspace& Space_, Prompter& Prompts_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Prompts(Prompts_)
{
    setObjectName(QStringLiteral("TFConf_Name"));
    setFixedSize(420, 180);
    Title = Make_Title_Area(this, width());
    Title.L_SW_Code->setText(Space.SW_Code);

    Label1 = Make_Control<QLabel>(this, QStringLiteral("Label1"), {12, 72, 396, 20});
    Label1->setTextFormat(Qt::PlainText);
    E_Name = Make_Control<QLineEdit>(this, QStringLiteral("E_Name"), {12, 94, 396, 26});
    E_Name->installEventFilter(this);
    Label1->setBuddy(E_Name);

    std::tie(Btn_OK, Btn_Cancel) = Make_Ok_Cancel(this, width() - 12, 136, {140, 32}, 10);
    Btn_OK->setAutoDefault(false);
    connect(Btn_OK, &QPushButton::clicked, this, &TFConf_Name::Btn_OKClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    Set_Lang();
}

void TFConf_Name::Set_Lang()
{
    Label1->setText(Space.Str(Conf_Name_Text::Name_Label));
    E_Name->setAccessibleName(Space.Str(Conf_Name_Text::Name_Label));
    Btn_OK->setText(Space.Str(Conf_Name_Text::Ok));
    Btn_Cancel->setText(Space.Str(Conf_Name_Text::Cancel));
    Fit_Row_Right({Btn_OK, Btn_Cancel});
}

bool TFConf_Name::Ask(int Title_Slot, const QString& Preset, const QString& Source_, Apply_Name Apply_)
{
    Source = Source_;
    Apply = std::move(Apply_);
    setWindowTitle(Space.Str(Title_Slot));
    Title.L_SW_Desc->setText(Space.Str(Title_Slot) + QStringLiteral(": ") + Source);
    E_Name->setText(Preset);
    E_Name->selectAll();
    E_Name->setFocus();
    return exec() == QDialog::Accepted;
}

bool TFConf_Name::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == E_Name && Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            Btn_OKClick();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void TFConf_Name::Btn_OKClick()
{
    const int Refused = Apply(E_Name->text());
    if (Refused >= 0) {
        const QString Text = Space.Str(Refused);
        const QString Rule = Refused == Foundation_Text::Name_Not_Usable
                                 ? Broken_Name_Rule(Space.Lang_Strings, Text, E_Name->text())
                                 : QString();
        Prompts.Error(!Rule.isEmpty() ? Rule : Text.contains(QLatin1String("%1")) ? Text.arg(Source) : Text);
        E_Name->setFocus(Qt::OtherFocusReason);
        E_Name->selectAll();
        return;
    }
    accept();
}
