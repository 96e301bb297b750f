#include "widgets/Ui_Guarded_Application.h"

#include "widgets/Ui_Error_Handler.h"

bool Guarded_Application::notify(QObject* Receiver, QEvent* Event)
{
    bool Handled = false;
    if (!Prompts)
        return QApplication::notify(Receiver, Event);
    Run_Guarded(*Prompts, [&] { Handled = QApplication::notify(Receiver, Event); });
    return Handled;
}
