#include "foundation/Settings_File.h"
#include "support/Test_Files.h"

#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;

class Test_Settings_File : public QObject {
    Q_OBJECT
private slots:
    void Round_Trip_Keeps_Values_data();
    void Round_Trip_Keeps_Values();
};

void Test_Settings_File::Round_Trip_Keeps_Values_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<int>("Flags");  // bit 0 internet, 1 update, 2 jump, 3 auto size
    QTest::newRow("markup characters") << R"(a&b <c> "d" 'e')" << 0b0101;
    QTest::newRow("blanks only") << "   " << 0b1010;
    QTest::newRow("non-Latin") << QString::fromUtf8("Установка 工厂") << 0b0001;
    QTest::newRow("empty") << "" << 0b1000;
    QTest::newRow("all flags") << "P" << 0b1111;
}

void Test_Settings_File::Round_Trip_Keeps_Values()
{
    QFETCH(QString, Text);
    QFETCH(int, Flags);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("Tavorix.xml");
    Settings_File::Values Data;
    Data.Project_Name = Text;
    Data.Last_IP_Address = Text + "1";
    Data.Language_Name = "2" + Text;
    Data.Enable_Internet = Flags & 1;
    Data.Enable_Update = Flags & 2;
    Data.Enable_Jump_Field_Tables = Flags & 4;
    Data.Double_Click_Auto_Size = Flags & 8;
    QVERIFY(Settings_File::Save(Path, Data));
    const QByteArray First = Read_File(Path);
    const Settings_File::Values Back = Settings_File::Read(Path);
    QCOMPARE(Back.Project_Name, Data.Project_Name);
    QCOMPARE(Back.Last_IP_Address, Data.Last_IP_Address);
    QCOMPARE(Back.Language_Name, Data.Language_Name);
    QCOMPARE(Back.Enable_Internet, Data.Enable_Internet);
    QCOMPARE(Back.Enable_Update, Data.Enable_Update);
    QCOMPARE(Back.Enable_Jump_Field_Tables, Data.Enable_Jump_Field_Tables);
    QCOMPARE(Back.Double_Click_Auto_Size, Data.Double_Click_Auto_Size);
    QCOMPARE(Settings_File::To_Bytes(Back), First);
}

QTEST_GUILESS_MAIN(Test_Settings_File)
#include "test_settings_file.moc"
