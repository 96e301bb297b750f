#include "platform/Ui_Message_Box_Prompter.h"

#include <QApplication>
#include <QMessageBox>

Prompt_Answer Message_Box_Prompter::Show(Prompt_Kind Kind, const QString& Text, Prompt_Buttons Buttons)
{
    QMessageBox::Icon Icon = QMessageBox::Information;
    switch (Kind) {
    case Prompt_Kind::Error: Icon = QMessageBox::Critical; break;
    case Prompt_Kind::Warning: Icon = QMessageBox::Warning; break;
    case Prompt_Kind::Information: Icon = QMessageBox::Information; break;
    case Prompt_Kind::Confirmation: Icon = QMessageBox::Question; break;
    }
    const bool Yes_No = Buttons != Prompt_Buttons::Ok;
    const auto Std_Buttons = Yes_No ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox Box(Icon, QApplication::applicationDisplayName(), Text, Std_Buttons, QApplication::activeWindow());
    // Messages carry names from files and folders; none of it is markup.
    Box.setTextFormat(Qt::PlainText);
    if (Buttons == Prompt_Buttons::Yes_No_Default_No) {
        Box.setDefaultButton(QMessageBox::No);
        Box.setEscapeButton(QMessageBox::No);
    }
    const int Result = Box.exec();
    if (Buttons == Prompt_Buttons::Ok)
        return Prompt_Answer::Ok;
    return Result == QMessageBox::Yes ? Prompt_Answer::Yes : Prompt_Answer::No;
}
