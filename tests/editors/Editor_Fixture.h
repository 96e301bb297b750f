#pragma once

#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"

#include <QDir>
#include <QTemporaryDir>

// A program folder in a temporary directory with one active configuration.
struct Editor_Fixture {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.path() + "/prog";
    Workspace Space{Exe_Dir};
    Scripted_Prompter Prompts;

    Editor_Fixture()
    {
        QDir().mkpath(Exe_Dir + "/PROJECTS/Plant/bin");
        Space.Lang_Strings.Create_Default_Strings();
        Space.Set_Identity();
        Space.Activate_Project(QStringLiteral("Plant"));
    }
};
