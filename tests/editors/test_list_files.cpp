#include "support/File_Limit.h"
#include "editors/List_Files.h"
#include "editors/Table_Model.h"
#include "platform/Xml_File.h"
#include "support/Test_Files.h"

#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;
namespace V = IEC61850_Variables;
namespace T = TLS_Known_Cert;

namespace {

QString Fixture(const QString& Name) { return QStringLiteral(SW_TEST_DATA_DIR "/project/") + Name; }

Lang_Table English()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    return Lang;
}

struct Variables {
    Table_Model Table{Check_Kind::Text_Check, V::Data_Rows + 1, V::Columns};
    Variables()
    {
        V::Init_Table(Table);
        V::Reset(Table);
    }
    // A valid enabled Int variable in Row.
    void Fill(int Row, const QString& Name)
    {
        const QStringList Cells{"Y", Name, "Int", "4", "N", "10", "", "None", "None", "N", "N", "desc"};
        for (int C = 1; C <= 12; ++C)
            Table.Set_Cell(Row, C, Cells[C - 1]);
    }
};

struct Certificates {
    Table_Model Table{Check_Kind::State_Check, T::Data_Rows + 1, T::Columns};
    Certificates()
    {
        T::Init_Table(Table);
        T::Reset(Table);
    }
};

QStringList Row_Cells(const Table_Model& Table, int Row)
{
    QStringList Cells;
    for (int C = 1; C < Table.Visible_Column_Count(); ++C)
        Cells.append(Table.Cell(Row, C));
    return Cells;
}

} // namespace

class Test_List_Files : public QObject {
    Q_OBJECT
private slots:
    void Variables_Reset_And_Missing_File();
    void Variables_Attribute_Defaults();
    void Variables_Only_First_50_Rows();
    void Variables_Save_Format();
    void Variables_Save_Stops_At_First_Empty_Name();
    void Variables_Check_data();
    void Variables_Check();
    void Certificates_Enable_Reading();
    void Certificates_Save_Format();
    void Round_Trip_Keeps_Texts_data();
    void Round_Trip_Keeps_Texts();
    void Malformed_Files_Raise_data();
    void Malformed_Files_Raise();
    void Failed_Save_Keeps_Previous_File();
};

void Test_List_Files::Variables_Reset_And_Missing_File()
{
    QTemporaryDir Dir;
    Variables Vars;
    Vars.Fill(3, "Old");
    V::Load(Dir.filePath("IEC61850_Variables.xml"), Vars.Table);
    for (int Row = 1; Row <= 50; ++Row) {
        QCOMPARE(Vars.Table.Cell(Row, 0), QString::number(Row));
        QCOMPARE(Row_Cells(Vars.Table, Row), QStringList({"Y", "", "", "", "", "", "", "", "", "", "", ""}));
    }
    QCOMPARE(V::To_Bytes(Vars.Table), QByteArray("<IEC61850_Variables/><!--SW_VERSION = 1.000-->"));
}

void Test_List_Files::Variables_Attribute_Defaults()
{
    Variables Vars;
    V::Load(Fixture("IEC61850_Variables_Partial.xml"), Vars.Table);
    QCOMPARE(Row_Cells(Vars.Table, 1), QStringList({"Y", "OnlyName", "", "", "N", "", "", "", "", "N", "N", ""}));
    QCOMPARE(Row_Cells(Vars.Table, 2), QStringList({"N", "Other element name", "Float", "4", "Y", "10", "", "None",
                                                    "0,5", "Y", "", "m"}));
    QCOMPARE(Row_Cells(Vars.Table, 3), QStringList({"", "Empty enable", "", "", "N", "", "", "", "", "N", "N", ""}));
    QCOMPARE(Vars.Table.Cell(4, 1), QStringLiteral("Y"));
    QCOMPARE(Vars.Table.Cell(4, 5), QString());
}

void Test_List_Files::Variables_Only_First_50_Rows()
{
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("IEC61850_Variables.xml");
    QByteArray Xml = "<IEC61850_Variables>";
    for (int I = 1; I <= 55; ++I)
        Xml += "<row Name=\"V" + QByteArray::number(I) + "\"/>";
    Xml += "</IEC61850_Variables>";
    Write_File(Path, Xml);
    Variables Vars;
    V::Load(Path, Vars.Table);
    QCOMPARE(Vars.Table.Cell(50, 2), QStringLiteral("V50"));
    QCOMPARE(Vars.Table.Cell(1, 2), QStringLiteral("V1"));
}

void Test_List_Files::Variables_Save_Format()
{
    Variables Vars;
    Vars.Fill(1, " Temp ");
    Vars.Table.Set_Cell(1, V::Col_Mnemonic, QString());
    Vars.Table.Set_Cell(2, V::Col_Name, "Off");
    Vars.Table.Set_Cell(2, V::Col_Enable, "N");
    QCOMPARE(V::To_Bytes(Vars.Table),
             QByteArray("<IEC61850_Variables><row Enable=\"Y\" Name=\" Temp \" Type=\"Int\" Length=\"4\" ReadOnly=\"N\" "
                        "Position=\"10\" StartBit=\"\" Conversion=\"None\" MultiplicationFactor=\"None\" Swap=\"N\" "
                        "SwapWord=\"N\" Mnemonic=\"\"/><row Enable=\"N\" Name=\"Off\" Type=\"\" Length=\"\" ReadOnly=\"\" "
                        "Position=\"\" StartBit=\"\" Conversion=\"\" MultiplicationFactor=\"\" Swap=\"\" SwapWord=\"\" "
                        "Mnemonic=\"\"/></IEC61850_Variables><!--SW_VERSION = 1.000-->"));
}

void Test_List_Files::Variables_Save_Stops_At_First_Empty_Name()
{
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("IEC61850_Variables.xml");
    Variables Vars;
    Vars.Fill(1, "A");
    Vars.Fill(2, "   ");
    Vars.Fill(3, "C");
    Vars.Table.Set_Cell(3, V::Col_Length, "9");  // beyond the list: not checked either
    QVERIFY(!V::Check(Vars.Table, ',', 1438, English()));
    QVERIFY(V::Save(Path, Vars.Table));
    Variables Back;
    V::Load(Path, Back.Table);
    QCOMPARE(Back.Table.Cell(1, 2), QStringLiteral("A"));
    QCOMPARE(Back.Table.Cell(2, 2), QString());
    QCOMPARE(Back.Table.Cell(3, 2), QString());
    QCOMPARE(Back.Table.Cell(3, 1), QStringLiteral("Y"));
}

void Test_List_Files::Variables_Check_data()
{
    QTest::addColumn<int>("Column");
    QTest::addColumn<QString>("Value");
    QTest::addColumn<QChar>("Separator");
    QTest::addColumn<QString>("Message");  // row 2 is changed; empty: accepted
    const Lang_Table L = English();
    const QString Row2 = L[929] + "2";
    QTest::newRow("valid") << 0 << "" << QChar(',') << "";
    for (const char* Length : {"1", "2", "3", "4", " 4", "$4"})
        QTest::addRow("length '%s'", Length) << int(V::Col_Length) << Length << QChar(',') << "";
    for (const char* Length : {"0", "5", "", "4 ", "four"})
        QTest::addRow("length '%s'", Length) << int(V::Col_Length) << Length << QChar(',') << Row2 + L[941];
    QTest::newRow("position 0") << int(V::Col_Position) << "0" << QChar(',') << "";
    QTest::newRow("position 1437") << int(V::Col_Position) << "1437" << QChar(',') << "";
    QTest::newRow("position 1438") << int(V::Col_Position) << "1438" << QChar(',') << Row2 + L[930] + "1437";
    QTest::newRow("position empty") << int(V::Col_Position) << "" << QChar(',') << Row2 + L[930] + "1437";
    QTest::newRow("position -1") << int(V::Col_Position) << "-1" << QChar(',') << Row2 + L[930] + "1437";
    QTest::newRow("conversion empty") << int(V::Col_Conversion) << " " << QChar(',') << Row2 + L[939];
    // Text no editor writes: the compiler would take it as None.
    QTest::newRow("conversion any text")
        << int(V::Col_Conversion) << "whatever" << QChar(',')
        << Row2 + "!! Conversion must be None, Int to Float or Float to Int, not \"whatever\"";
    QTest::newRow("type any text") << int(V::Col_Type) << "Flaot" << QChar(',')
                                   << Row2 + "!! Type must be Int, Float or Digital (Bit), not \"Flaot\"";
    QTest::newRow("name of row 1") << int(V::Col_Name) << "V1" << QChar(',')
                                   << Row2 + "!! the name \"V1\" is already used by row 1";
    for (const char* Factor : {"None", "none", "NONE", "  nOnE  "})
        QTest::addRow("factor '%s'", Factor) << int(V::Col_MultiplicationFactor) << Factor << QChar(',') << "";
    QTest::newRow("factor point on comma system") << int(V::Col_MultiplicationFactor) << "0.5" << QChar(',') << "";
    QTest::newRow("factor comma on point system") << int(V::Col_MultiplicationFactor) << "0,5" << QChar('.') << "";
    QTest::newRow("factor empty") << int(V::Col_MultiplicationFactor) << "" << QChar(',') << Row2 + L[940];
    QTest::newRow("factor letters") << int(V::Col_MultiplicationFactor) << "x2" << QChar('.') << Row2 + L[940];
    QTest::newRow("factor grouped") << int(V::Col_MultiplicationFactor) << "1,000.5" << QChar('.') << Row2 + L[940];
    QTest::newRow("factor none between tabs") << int(V::Col_MultiplicationFactor) << "\tnone\t" << QChar(',') << "";
    QTest::newRow("factor none after a no-break space")
        << int(V::Col_MultiplicationFactor) << QString(QChar(0xA0)) + "none" << QChar(',') << Row2 + L[940];
    QTest::newRow("disabled row not checked") << int(V::Col_Enable) << "N" << QChar(',') << "";
    QTest::newRow("Enable with blanks counts") << int(V::Col_Enable) << " Y " << QChar(',') << Row2 + L[941];
}

void Test_List_Files::Variables_Check()
{
    QFETCH(int, Column);
    QFETCH(QString, Value);
    QFETCH(QChar, Separator);
    QFETCH(QString, Message);
    Variables Vars;
    for (int Row = 1; Row <= 3; ++Row)
        Vars.Fill(Row, QStringLiteral("V%1").arg(Row));
    if (Column == V::Col_Enable) {
        // A broken length that only an enabled row reports.
        Vars.Table.Set_Cell(2, V::Col_Length, "9");
    }
    if (Column > 0)
        Vars.Table.Set_Cell(2, Column, Value);
    QCOMPARE(V::Check(Vars.Table, Separator, 1438, English()).value_or(QString()), Message);
}

void Test_List_Files::Certificates_Enable_Reading()
{
    Certificates Certs;
    T::Load(Fixture("TLS_Known_Cert_Enable_Variants.xml"), Certs.Table);
    const QList<bool> Expected{true, false, true, true, true, true};
    for (int Row = 1; Row <= 6; ++Row) {
        QVERIFY(Certs.Table.Has_Check(Row, 1));
        QCOMPARE(Certs.Table.Checked(Row, 1), Expected[Row - 1]);
    }
    QCOMPARE(Certs.Table.Cell(2, 2), QStringLiteral("upper N"));
    QCOMPARE(Certs.Table.Cell(4, 3), QStringLiteral("kept"));
    QCOMPARE(Certs.Table.Cell(5, 2), QString());
    QCOMPARE(Certs.Table.Cell(10, 0), QStringLiteral("10"));
}

void Test_List_Files::Certificates_Save_Format()
{
    Certificates Certs;
    Certs.Table.Set_Cell(1, 2, "A");
    Certs.Table.Set_Check(2, 1, false);
    Certs.Table.Set_Cell(2, 2, " B ");
    Certs.Table.Set_Cell(2, 3, "second");
    Certs.Table.Set_Cell(3, 2, " ");
    Certs.Table.Set_Cell(4, 2, "lost");
    QCOMPARE(T::To_Bytes(Certs.Table),
             QByteArray("<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"A\" Mnemonic=\"\"/><row Enable=\"N\" "
                        "Certificate=\" B \" Mnemonic=\"second\"/></TLS_Server_Known_Cert><!--SW_VERSION = 1.000-->"));
    Certs.Table.Set_Cell(1, 2, "");
    QCOMPARE(T::To_Bytes(Certs.Table), QByteArray("<TLS_Server_Known_Cert/><!--SW_VERSION = 1.000-->"));
}

void Test_List_Files::Round_Trip_Keeps_Texts_data()
{
    QTest::addColumn<QString>("Text");
    QTest::newRow("markup characters") << R"(a&b <c> "d" 'e' &amp; &#10;)";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("non-Latin") << QString::fromUtf8("Температура 温度 θερμοκρασία");
    QTest::newRow("LF line breaks") << "-----BEGIN CERTIFICATE-----\nMIIB\nAbC=\n-----END CERTIFICATE-----\n";
    QTest::newRow("CR LF line breaks") << "line 1\r\nline 2\r\n";
    QTest::newRow("tabs and edge blanks") << "\t a \t";
}

void Test_List_Files::Round_Trip_Keeps_Texts()
{
    QFETCH(QString, Text);
    QTemporaryDir Dir;
    const QString Vars_Path = Dir.filePath("IEC61850_Variables.xml");
    const QString Certs_Path = Dir.filePath("TLS_Known_Cert.xml");
    Variables Vars;
    Vars.Fill(1, "X" + Text);
    Vars.Table.Set_Cell(1, V::Col_Mnemonic, Text);
    Vars.Table.Set_Cell(1, V::Col_MultiplicationFactor, Text);
    Certificates Certs;
    Certs.Table.Set_Cell(1, 2, "X" + Text);
    Certs.Table.Set_Cell(1, 3, Text);
    QVERIFY(V::Save(Vars_Path, Vars.Table));
    QVERIFY(T::Save(Certs_Path, Certs.Table));
    const QByteArray Vars_Bytes = Read_File(Vars_Path);
    const QByteArray Certs_Bytes = Read_File(Certs_Path);

    Variables Vars_Back;
    V::Load(Vars_Path, Vars_Back.Table);
    QCOMPARE(Row_Cells(Vars_Back.Table, 1), Row_Cells(Vars.Table, 1));
    Certificates Certs_Back;
    T::Load(Certs_Path, Certs_Back.Table);
    QCOMPARE(Certs_Back.Table.Cell(1, 2), "X" + Text);
    QCOMPARE(Certs_Back.Table.Cell(1, 3), Text);

    QVERIFY(V::Save(Vars_Path, Vars_Back.Table));
    QVERIFY(T::Save(Certs_Path, Certs_Back.Table));
    QCOMPARE(Read_File(Vars_Path), Vars_Bytes);
    QCOMPARE(Read_File(Certs_Path), Certs_Bytes);
}

void Test_List_Files::Malformed_Files_Raise_data()
{
    QTest::addColumn<bool>("Certificates");
    QTest::newRow("variables") << false;
    QTest::newRow("certificates") << true;
}

void Test_List_Files::Malformed_Files_Raise()
{
    QFETCH(bool, Certificates);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath(Certificates ? "TLS_Known_Cert.xml" : "IEC61850_Variables.xml");
    Write_File(Path, "<root>\n<row Name=a/>\n</root>");
    Variables Vars;
    ::Certificates Certs;
    try {
        if (Certificates)
            T::Load(Path, Certs.Table);
        else
            V::Load(Path, Vars.Table);
        QFAIL("no error raised");
    } catch (const Xml_Parse_Error& Error) {
        QVERIFY2(Error.Message().startsWith(QFileInfo(Path).fileName() + " (line 2, column "),
                 qPrintable(Error.Message()));
    }
}

void Test_List_Files::Failed_Save_Keeps_Previous_File()
{
    QTemporaryDir Dir;
    const auto Removed = V::Save(Dir.filePath("gone/IEC61850_Variables.xml"), Variables().Table);
    QVERIFY(!Removed);
    QVERIFY(!Removed.error().System_Text.isEmpty());
#ifdef Q_OS_WIN
    QSKIP("a full disk is simulated with a file-size limit (setrlimit), which Windows has not");
#else
    const QString Path = Dir.filePath("TLS_Known_Cert.xml");
    Certificates Certs;
    Certs.Table.Set_Cell(1, 2, "small");
    QVERIFY(T::Save(Path, Certs.Table));
    const QByteArray Before = Read_File(Path);
    for (int Row = 1; Row <= 10; ++Row)
        Certs.Table.Set_Cell(Row, 2, QString(8000, QChar('c')));
    std::expected<void, Write_Error> Saved;
    {
        File_Size_Limit Full_Disk(16384);
        Saved = T::Save(Path, Certs.Table);
    }
    QVERIFY(!Saved);
    QCOMPARE(Read_File(Path), Before);
#endif
}

QTEST_GUILESS_MAIN(Test_List_Files)
#include "test_list_files.moc"
