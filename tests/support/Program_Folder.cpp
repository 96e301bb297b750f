#include "support/Program_Folder.h"

#include "support/Test_Support.h"

#include <QDir>
#include <QTest>

Program_Folder::Program_Folder() { QDir().mkpath(Exe_Dir); }

QString Program_Folder::Add_Project(const QString& Name) const
{
    const QString Path = Exe_Dir + "/PROJECTS/" + Name;
    QDir().mkpath(Path + "/bin");
    return Path;
}

void Program_Folder::Remember_Project(const QString& Name) const
{
    Test_Support::Write_File(Exe_Dir + "/Tavorix.xml", "<Conf_Settings><lastproj><projectname>" + Name.toUtf8()
                                                           + "</projectname></lastproj></Conf_Settings>");
}

TFTavorixFirmWare& Program_Folder::Start(Platform_Services Services)
{
    if (!Services.Prompts)
        Services.Prompts = &Prompts;
    Window = std::make_unique<TFTavorixFirmWare>(Space, Services);
    Window->show();
    return *Window;
}

QPushButton* Program_Folder::Button(const QString& Name) const
{
    return Test_Support::Find<QPushButton>(Window.get(), Name);
}

void Program_Folder::Click(const QString& Name) const { QTest::mouseClick(Button(Name), Qt::LeftButton); }
