#include "project/Known_Cert_File.h"
#include "project/Variables_File.h"
#include "support/Test_Files.h"

#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

using Test_Support::Write_File;

class Test_List_Files : public QObject {
    Q_OBJECT
private slots:
    void Readers_Apply_Their_Own_Rules_data();
    void Readers_Apply_Their_Own_Rules();
    void Every_Child_But_Blank_Text_Is_A_Row();
    void Missing_File_Is_Not_Found();
};

void Test_List_Files::Readers_Apply_Their_Own_Rules_data()
{
    QTest::addColumn<bool>("Certificates");
    QTest::addColumn<int>("Attribute");
    QTest::addColumn<QVariant>("Stored");  // invalid: the attribute is absent
    QTest::addColumn<QString>("Editor");
    QTest::addColumn<QString>("Image");    // flags as "Y" or "N"
    namespace V = Variables_File;
    namespace C = Known_Cert_File;
    const QVariant Absent;
    QTest::newRow("variable enable absent") << false << int(V::Enable) << Absent << "Y" << "N";
    QTest::newRow("variable enable y") << false << int(V::Enable) << QVariant("y") << "y" << "N";
    QTest::newRow("variable enable blank Y") << false << int(V::Enable) << QVariant(" Y") << " Y" << "N";
    QTest::newRow("variable enable Y") << false << int(V::Enable) << QVariant("Y") << "Y" << "Y";
    QTest::newRow("read only blank y") << false << int(V::ReadOnly) << QVariant(" y ") << " y " << "Y";
    QTest::newRow("read only absent") << false << int(V::ReadOnly) << Absent << "N" << "N";
    QTest::newRow("type absent") << false << int(V::Type) << Absent << "" << "INT";
    QTest::newRow("type float") << false << int(V::Type) << QVariant(" float ") << " float " << "FLOAT";
    QTest::newRow("length hex") << false << int(V::Length) << QVariant("$4") << "$4" << "4";
    QTest::newRow("length letters") << false << int(V::Length) << QVariant("four") << "four" << "0";
    QTest::newRow("position absent") << false << int(V::Position) << Absent << "" << "0";
    QTest::newRow("conversion") << false << int(V::Conversion) << QVariant(" int to float") << " int to float"
                                << "INT TO FLOAT";
    QTest::newRow("factor absent") << false << int(V::MultiplicationFactor) << Absent << "" << "None";
    QTest::newRow("factor kept as typed") << false << int(V::MultiplicationFactor) << QVariant(" 0,5") << " 0,5"
                                          << " 0,5";
    QTest::newRow("swap y") << false << int(V::Swap) << QVariant("y") << "y" << "N";
    QTest::newRow("swap word absent") << false << int(V::SwapWord) << Absent << "N" << "N";
    QTest::newRow("name kept untrimmed") << false << int(V::Name) << QVariant(" T ") << " T " << " T ";
    QTest::newRow("certificate enable absent") << true << int(C::Enable) << Absent << "Y" << "N";
    QTest::newRow("certificate enable n") << true << int(C::Enable) << QVariant("n") << "Y" << "N";
    QTest::newRow("certificate enable empty") << true << int(C::Enable) << QVariant("") << "Y" << "N";
    QTest::newRow("certificate enable N") << true << int(C::Enable) << QVariant("N") << "N" << "N";
    QTest::newRow("certificate enable Y") << true << int(C::Enable) << QVariant("Y") << "Y" << "Y";
    QTest::newRow("certificate absent") << true << int(C::Certificate) << Absent << "" << "";
}

void Test_List_Files::Readers_Apply_Their_Own_Rules()
{
    QFETCH(bool, Certificates);
    QFETCH(int, Attribute);
    QFETCH(QVariant, Stored);
    QFETCH(QString, Editor);
    QFETCH(QString, Image);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("list.xml");
    const QByteArray Name = Certificates ? Known_Cert_File::Info(Attribute).Name : Variables_File::Info(Attribute).Name;
    QByteArray Row = "<row";
    if (Stored.isValid())
        Row += " " + Name + "=\"" + Stored.toString().toUtf8() + "\"";
    Write_File(Path, "<list>" + Row + "/></list>");

    const List_File::Stored File = Certificates ? Known_Cert_File::Read(Path) : Variables_File::Read(Path);
    QVERIFY(File.Found);
    QCOMPARE(File.Rows.size(), 1);
    if (Certificates) {
        const Known_Cert_File::Row Item(File.Rows[0]);
        QCOMPARE(Item[Attribute].has_value(), Stored.isValid());
        QCOMPARE(Item.Text(Attribute, List_File::Reader::Editor), Editor);
        QCOMPARE(Item.Text(Attribute, List_File::Reader::Image), Image);
    } else {
        const Variables_File::Row Item(File.Rows[0]);
        QCOMPARE(Item[Attribute].has_value(), Stored.isValid());
        QCOMPARE(Item.Text(Attribute, List_File::Reader::Editor), Editor);
        QCOMPARE(Variables_File::Editor_Texts(Item).value(Attribute), Editor);
        QCOMPARE(Item.Text(Attribute, List_File::Reader::Image), Image);
    }
}

void Test_List_Files::Every_Child_But_Blank_Text_Is_A_Row()
{
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("TLS_Known_Cert.xml");
    // The element name is not checked; a comment or stray text still takes
    // a place, so the rows after it keep their numbers in the editor.
    Write_File(Path, "<list>\n  <row Certificate=\"A\"/>\n  <!--note-->\n  <other Certificate=\"B\"/>text<row "
                     "Enable=\"Y\" Certificate=\"C\"/>\n</list>");
    const List_File::Stored File = Known_Cert_File::Read(Path);
    QStringList Seen;
    for (const List_File::Stored_Row& Stored : File.Rows)
        Seen.append(Known_Cert_File::Row(Stored)[Known_Cert_File::Certificate].value_or("-"));
    QCOMPARE(Seen, (QStringList{"A", "-", "B", "-", "C"}));
}

void Test_List_Files::Missing_File_Is_Not_Found()
{
    QTemporaryDir Dir;
    const List_File::Stored File = Variables_File::Read(Dir.filePath("IEC61850_Variables.xml"));
    QVERIFY(!File.Found);
    QVERIFY(File.Rows.isEmpty());
}

QTEST_GUILESS_MAIN(Test_List_Files)
#include "test_list_files.moc"
