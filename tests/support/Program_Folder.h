#pragma once

#include "platform/Platform_Services.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"

#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

// A program folder in a temporary directory with its workspace, the
// scripted prompter every message goes through, and the main window once
// started. Settings written before Start are read by the start-up.
struct Program_Folder {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.path() + "/prog";
    Workspace Space{Exe_Dir};
    Scripted_Prompter Prompts;
    std::unique_ptr<TFTavorixFirmWare> Window;

    Program_Folder();

    // Creates the configuration directory Name (with its "bin" folder) and
    // returns its path.
    QString Add_Project(const QString& Name) const;
    // Writes the settings file so the next start reopens Name (empty: none).
    void Remember_Project(const QString& Name) const;
    // Creates the main window, as at program start, over Services; the
    // folder's prompter answers unless Services names another.
    TFTavorixFirmWare& Start(Platform_Services Services = {});

    QPushButton* Button(const QString& Name) const;
    void Click(const QString& Name) const;
};
