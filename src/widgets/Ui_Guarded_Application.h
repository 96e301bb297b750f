#pragma once

#include <QApplication>

class Prompter;

// Last net of the general error handler: an exception that escapes an event
// handler is shown in an error box instead of ending the program.
class Guarded_Application : public QApplication {
public:
    Guarded_Application(int& Argc, char** Argv) : QApplication(Argc, Argv) {}
    void Set_Prompter(Prompter* P) { Prompts = P; }
    bool notify(QObject* Receiver, QEvent* Event) override;

private:
    Prompter* Prompts = nullptr;
};
