#pragma once

#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

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

// Loads an editor as its step does and shows it as the active window.
template <class Editor>
void Show_Editor(Editor& Dialog)
{
    Dialog.FormShow();
    Dialog.show();
    QApplication::setActiveWindow(&Dialog);
    QVERIFY(QTest::qWaitForWindowActive(&Dialog));
}

// Clicks the push button named Name of Window.
inline void Click_Button(QWidget* Window, const QString& Name)
{
    QTest::mouseClick(Test_Support::Find<QPushButton>(Window, Name), Qt::LeftButton);
}
