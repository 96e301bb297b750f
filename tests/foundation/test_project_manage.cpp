// Duplicating, renaming and deleting configurations on real folders.
#include "foundation/Project_Folders.h"
#include "foundation/Project_Manage.h"
#include "foundation/Workspace.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

// A program folder with configurations, and a desktop trash of its own: the
// trash lives below XDG_DATA_HOME, which points into the temporary directory.
struct Folders {
    QTemporaryDir Dir;
    Workspace Space{Dir.path() + "/prog"};
    QString Data_Home = Dir.path() + "/data";

    Folders()
    {
        QDir().mkpath(Space.Projects_Dir);
        QDir().mkpath(Data_Home);
        qputenv("XDG_DATA_HOME", Data_Home.toUtf8());
    }
    QString Path(const QString& Name) const { return Space.Projects_Dir + "/" + Name; }
    // A configuration with its three project files and a bank file.
    void Add(const QString& Name) const
    {
        Write_File(Path(Name) + "/ParGen.xml", "<ParGen>" + Name.toUtf8() + "</ParGen>");
        Write_File(Path(Name) + "/IEC61850_Variables.xml", "<IEC61850_Variables/>");
        Write_File(Path(Name) + "/TLS_Known_Cert.xml", "<TLS_Known_Cert/>");
        Write_File(Path(Name) + "/bin/bank1.bin", "bank");
    }
    QStringList Listed() const { return Load_Existing_Configuration(Space.Projects_Dir); }
};

} // namespace

class Test_Project_Manage : public QObject {
    Q_OBJECT
private slots:
    void Names_Refused_data();
    void Names_Refused();
    void Duplicate_Copies_Project_Files_Only();
    void Duplicate_Of_Missing_Configuration();
    void Rename_Follows_Active();
    void Rename_Case_Only_And_Same_Name();
    void Delete_Moves_To_Trash();
    void Delete_Without_Trash_Keeps_Everything();
    void List_Sorted_As_Read();
};

void Test_Project_Manage::Names_Refused_data()
{
    QTest::addColumn<QString>("Typed");
    QTest::addColumn<int>("Slot");
    QTest::newRow("empty") << "" << 107;
    QTest::newRow("existing") << "Other" << 106;
    QTest::newRow("existing other case") << "OTHER" << 106;
    QTest::newRow("existing decomposed") << QString::fromUtf8("Cafe\xCC\x81") << 106;
    QTest::newRow("leads out") << "../Out" << 105;
    QTest::newRow("separator") << "a/b" << 105;
    QTest::newRow("leading dot") << ".hidden" << 105;
    QTest::newRow("trailing blank") << "Name " << 105;
}

void Test_Project_Manage::Names_Refused()
{
    QFETCH(QString, Typed);
    QFETCH(int, Slot);
    Folders F;
    F.Add("Source");
    F.Add("Other");
    F.Add(QString::fromUtf8("Caf\xC3\xA9"));
    F.Space.Activate_Project("Source");
    const QStringList Before = F.Listed();

    QCOMPARE(Manage_Message_Slot(Duplicate_Project(F.Space, "Source", Typed)), Slot);
    QCOMPARE(Manage_Message_Slot(Rename_Project(F.Space, "Source", Typed)), Slot);
    // The same rule refuses the name for a new configuration.
    QCOMPARE(New_Project_Message_Slot(Create_Project(F.Space, Typed)), Slot);
    QCOMPARE(F.Listed(), Before);
    QCOMPARE(F.Space.Project_Name, QString("Source"));
    QVERIFY(!QFileInfo::exists(F.Dir.path() + "/prog/Out"));
}

void Test_Project_Manage::Duplicate_Copies_Project_Files_Only()
{
    Folders F;
    F.Add("Plant North");
    F.Space.Activate_Project("Plant North");
    // The source's history and lock stay with it.
    QVERIFY(QDir().mkpath(F.Path("Plant North") + "/.history"));
    QVERIFY(QFile(F.Path("Plant North") + "/.history/ParGen.20260101-080000.xml").open(QIODevice::WriteOnly));
    QVERIFY(QFile(F.Path("Plant North") + "/.sw40610.lock").open(QIODevice::WriteOnly));
    QString Made;
    QCOMPARE(Duplicate_Project(F.Space, "Plant North", QString::fromUtf8("Plant Su\xCC\x88" "d"), &Made),
             Manage_Result::Done);

    // Stored composed; the active configuration stays the source.
    const QString Copy = QString::fromUtf8("Plant S\xC3\xBC" "d");
    QCOMPARE(Made, Copy);
    QCOMPARE(F.Space.Project_Name, QString("Plant North"));
    QVERIFY(!QFileInfo::exists(F.Path(Copy) + "/.history"));
    QVERIFY(!QFileInfo::exists(F.Path(Copy) + "/.sw40610.lock"));
    for (const char* File : {"ParGen.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"})
        QCOMPARE(Read_File(F.Path(Copy) + "/" + File), Read_File(F.Path("Plant North") + "/" + File));
    QVERIFY(QFileInfo(F.Path(Copy) + "/bin").isDir());
    QVERIFY(QDir(F.Path(Copy) + "/bin").isEmpty());
    // The source is untouched.
    QCOMPARE(Read_File(F.Path("Plant North") + "/bin/bank1.bin"), QByteArray("bank"));

    // A configuration without some of its files gives a copy without them.
    QVERIFY(QFile::remove(F.Path("Plant North") + "/TLS_Known_Cert.xml"));
    QCOMPARE(Duplicate_Project(F.Space, "Plant North", "Plant West"), Manage_Result::Done);
    QVERIFY(!QFileInfo::exists(F.Path("Plant West") + "/TLS_Known_Cert.xml"));
    QVERIFY(QFileInfo::exists(F.Path("Plant West") + "/ParGen.xml"));

    // A project file that cannot be read leaves no half copy behind.
    QVERIFY(QDir().mkdir(F.Path("Plant West") + "/IEC61850_Variables.xml.d"));
    QVERIFY(QFile::remove(F.Path("Plant West") + "/IEC61850_Variables.xml"));
    QVERIFY(QDir().mkdir(F.Path("Plant West") + "/IEC61850_Variables.xml"));
    QCOMPARE(Manage_Message_Slot(Duplicate_Project(F.Space, "Plant West", "Plant East")), 221);
    QVERIFY(!QFileInfo::exists(F.Path("Plant East")));
    QCOMPARE(F.Space.Project_Name, QString("Plant North"));
}

void Test_Project_Manage::Duplicate_Of_Missing_Configuration()
{
    Folders F;
    F.Add("Real");
    QVERIFY(QFile::link(F.Path("Real"), F.Path("Linked")));
    for (const QString& Source : {QString("Gone"), QString("Linked"), QString("../prog")}) {
        QCOMPARE(Duplicate_Project(F.Space, Source, "Copy"), Manage_Result::Not_Found);
        QCOMPARE(Rename_Project(F.Space, Source, "Copy"), Manage_Result::Not_Found);
        QCOMPARE(Delete_Project(F.Space, Source), Manage_Result::Not_Found);
    }
    QVERIFY(!QFileInfo::exists(F.Path("Copy")));
    QVERIFY(QFileInfo(F.Path("Real")).isDir());
}

void Test_Project_Manage::Rename_Follows_Active()
{
    Folders F;
    F.Add("Old");
    F.Add("Other");
    F.Space.Activate_Project("Old");
    QCOMPARE(Rename_Project(F.Space, "Old", "New"), Manage_Result::Done);
    QCOMPARE(F.Space.Project_Name, QString("New"));
    QCOMPARE(F.Space.File_IEC61850_Variables, F.Path("New") + "/IEC61850_Variables.xml");
    QCOMPARE(Read_File(F.Path("New") + "/ParGen.xml"), QByteArray("<ParGen>Old</ParGen>"));
    QVERIFY(!QFileInfo::exists(F.Path("Old")));
    // The bank files go with it: they are still this configuration's.
    QVERIFY(QFileInfo::exists(F.Path("New") + "/bin/bank1.bin"));

    // Renaming another configuration leaves the active one alone.
    QCOMPARE(Rename_Project(F.Space, "Other", "Second"), Manage_Result::Done);
    QCOMPARE(F.Space.Project_Name, QString("New"));
    QCOMPARE(F.Listed(), (QStringList{"New", "Second"}));
}

void Test_Project_Manage::Rename_Case_Only_And_Same_Name()
{
    Folders F;
    F.Add("plant");
    F.Space.Activate_Project("plant");
    QCOMPARE(Rename_Project(F.Space, "plant", "plant"), Manage_Result::Done);
    QCOMPARE(F.Listed(), QStringList{"plant"});
    QCOMPARE(Rename_Project(F.Space, "plant", "Plant"), Manage_Result::Done);
    QCOMPARE(F.Listed(), QStringList{"Plant"});
    QCOMPARE(F.Space.Project_Name, QString("Plant"));
}

void Test_Project_Manage::Delete_Moves_To_Trash()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows the recycle bin is the user's own, outside the test's folder");
#endif
    Folders F;
    F.Add("Doomed");
    F.Add("Kept");
    F.Space.Activate_Project("Kept");
    QCOMPARE(Delete_Project(F.Space, "Doomed"), Manage_Result::Done);
    QCOMPARE(F.Space.Project_Name, QString("Kept"));
    QCOMPARE(F.Listed(), QStringList{"Kept"});
    // Recoverable: the folder whole in the trash, with the note of where it was.
    const QString Trashed = F.Data_Home + "/Trash/files/Doomed";
    QCOMPARE(Read_File(Trashed + "/ParGen.xml"), QByteArray("<ParGen>Doomed</ParGen>"));
    QCOMPARE(Read_File(Trashed + "/bin/bank1.bin"), QByteArray("bank"));
    QVERIFY(Read_File(F.Data_Home + "/Trash/info/Doomed.trashinfo").contains("Path="));

    // Deleting the active one leaves none active.
    QCOMPARE(Delete_Project(F.Space, "Kept"), Manage_Result::Done);
    QVERIFY(!F.Space.Is_Project_Active());
    QVERIFY(F.Listed().isEmpty());
}

void Test_Project_Manage::Delete_Without_Trash_Keeps_Everything()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows the recycle bin is the system's: there is no trash folder that could be missing");
#endif
    Folders F;
    F.Add("Precious");
    F.Space.Activate_Project("Precious");
    // No trash can be made below a data folder that is a file.
    Write_File(F.Dir.path() + "/not-a-folder", "x");
    qputenv("XDG_DATA_HOME", (F.Dir.path() + "/not-a-folder").toUtf8());
    QCOMPARE(Manage_Message_Slot(Delete_Project(F.Space, "Precious")), 220);
    QCOMPARE(F.Space.Project_Name, QString("Precious"));
    QCOMPARE(Read_File(F.Path("Precious") + "/ParGen.xml"), QByteArray("<ParGen>Precious</ParGen>"));
    QCOMPARE(Read_File(F.Path("Precious") + "/bin/bank1.bin"), QByteArray("bank"));
    // Nor is it moved anywhere else, such as the working directory.
    QVERIFY(!QFileInfo::exists(QDir::currentPath() + "/files/Precious"));
}

void Test_Project_Manage::List_Sorted_As_Read()
{
    Folders F;
    for (const QString& Name : {"beta", "Alpha", "Plant 10", "plant 9", "Gamma", "alpha2"})
        QDir().mkpath(F.Path(Name));
    QCOMPARE(F.Listed(), (QStringList{"Alpha", "alpha2", "beta", "Gamma", "plant 9", "Plant 10"}));
}

QTEST_GUILESS_MAIN(Test_Project_Manage)
#include "test_project_manage.moc"
