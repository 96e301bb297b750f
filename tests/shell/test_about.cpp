#include "shell/TFAbout.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Web_Addresses.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"
#include "update/TFBoot.h"
#include "update/Update_Fakes.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Find;
using Test_Support::When_Modal;

class Test_About : public QObject {
    Q_OBJECT
private slots:
    void Fixed_Texts_And_Size();
    void Logo_And_Address_Open_Home_Page();
    void Main_Window_Info_Button_And_Links();
};

void Test_About::Fixed_Texts_And_Size()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Set_Identity();
    Space.Lang_Strings.Create_Default_Strings();
    Space.Lang_Strings.Set(1, QStringLiteral("anything")); // no text but the title comes from the table
    TFAbout About(Space, nullptr);
    About.show();
    QVERIFY(QTest::qWaitForWindowExposed(&About));
    const auto Text = [&](const char* Name) { return Find<QLabel>(&About, Name)->text(); };
    QCOMPARE(About.windowTitle(), QStringLiteral("About..."));
    QCOMPARE(Text("Label1"), QStringLiteral("Software Tavorix "));
    QCOMPARE(Text("Label2"), QStringLiteral("IEC61850 Server / PROFINET - Converter"));
    QCOMPARE(Text("Label6"), QStringLiteral("Software Code : "));
    QCOMPARE(Text("Label9"), QStringLiteral("SW40610"));
    QCOMPARE(Text("Label3"), QStringLiteral("Version :"));
    QCOMPARE(Text("Label10"), QStringLiteral("1.000"));
    QCOMPARE(Text("Label8"), QStringLiteral("Document Code :"));
    QCOMPARE(Text("Label12"), QStringLiteral("MN40610"));
    QVERIFY(Text("Label4").contains(Identity::Maker_Host));
    QVERIFY(!Find<QLabel>(&About, "Image2")->pixmap().isNull());
    QCOMPARE(About.size(), QSize(425, 148));
    for (QWidget* Child : About.findChildren<QWidget*>())
        QVERIFY2(About.rect().contains(Child->geometry()), qPrintable(Child->objectName()));
    // The title follows the language.
    Space.Lang_Strings.Set(1538, QStringLiteral("Informazioni su..."));
    About.Set_Lang();
    QCOMPARE(About.windowTitle(), QStringLiteral("Informazioni su..."));
    QCOMPARE(Text("Label6"), QStringLiteral("Software Code : "));
    QTest::mouseClick(Find<QPushButton>(&About, "LbButton1"), Qt::LeftButton);
    QVERIFY(!About.isVisible());
}

void Test_About::Logo_And_Address_Open_Home_Page()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Fake_Desktop_Shell Desktop;
    TFAbout About(Space, &Desktop);
    About.show();
    QVERIFY(QTest::qWaitForWindowExposed(&About));
    QLabel* Link = Find<QLabel>(&About, "Label4");
    emit Link->linkActivated(QStringLiteral("home"));
    QTest::mouseClick(Find<QLabel>(&About, "Image2"), Qt::LeftButton);
    QCOMPARE(Desktop.Opened, QStringList({Home_Page_Url(), Home_Page_Url()}));
    QCOMPARE(Home_Page_Url(), QStringLiteral("http://") + Identity::Maker_Host + "/HOME/default.asp?frompg=SW40610");
}

void Test_About::Main_Window_Info_Button_And_Links()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path() + "/prog");
    QDir().mkpath(Space.Exe_Dir);
    Scripted_Prompter Prompts;
    Fake_Desktop_Shell Desktop;
    Platform_Services Services;
    Services.Prompts = &Prompts;
    Services.Desktop = &Desktop;
    TFTavorixFirmWare Window(Space, Services);
    Window.show();
    // Only the main window is built at the start; the others at their first opening.
    QVERIFY(!Window.findChild<QDialog*>());

    QString Shown;
    When_Modal([&](QWidget* Modal) {
        Shown = Modal->objectName();
        Modal->close();
    });
    QTest::mouseClick(Find<QPushButton>(&Window, "Btn_Info"), Qt::LeftButton);
    QCOMPARE(Shown, QStringLiteral("TFAbout"));
    QVERIFY(Prompts.Messages.isEmpty());

    emit Find<QLabel>(&Window, "L_Korvex")->linkActivated(QStringLiteral("home"));
    emit Find<QLabel>(&Window, "LL_Update")->linkActivated(Download_Page_Url());
    QCOMPARE(Desktop.Opened, QStringList({Home_Page_Url(), Download_Page_Url()}));

    // A language change reaches the update dialog.
    Space.Lang_Strings.Set(1002, QStringLiteral("Aggiornamento"));
    Window.Change_Language();
    Window.Build_Every_Window();
    QCOMPARE(Window.findChild<TFBoot*>("TFBoot")->windowTitle(), QStringLiteral("Aggiornamento"));
}

QTEST_MAIN(Test_About)
#include "test_about.moc"
