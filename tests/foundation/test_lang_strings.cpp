#include "foundation/Lang_Strings.h"
#include "support/Test_Files.h"

#include <QTemporaryDir>
#include <QTest>

using Test_Support::Write_File;

class Test_Lang_Strings : public QObject {
    Q_OBJECT
private slots:
    void Defaults();
    void Lines_data();
    void Lines();
    void Later_Line_Wins_And_Line_Endings();
    void Encodings_data();
    void Encodings();
    void Unreadable_File_Keeps_Table();
    void Shipped_English_Template_Matches_Table();
};

void Test_Lang_Strings::Defaults()
{
    Lang_Table Table;
    Table.Create_Default_Strings();
    QCOMPARE(Table.Count(), 1600);
    QCOMPARE(Table[0], QString("Begin"));
    QCOMPARE(Table[9], QString("None Configuration Opened "));
    QCOMPARE(Table[306], QString(" / "));
    QCOMPARE(Table[575], QString("Error PROFINET!! Diagnosis Address must be between 0 and "));
    QCOMPARE(Table[1511], QString("File already exists! Do you want to overwrite the file?"));
    QCOMPARE(Table[99], QString(" "));
    QCOMPARE(Table[1599], QString(" "));
    int Listed = 0;
    for (int I = 0; I < Table.Count(); ++I)
        Listed += Table[I] != QString(" ");
    QVERIFY2(Listed >= 572, qPrintable(QString::number(Listed)));
}

void Test_Lang_Strings::Lines_data()
{
    QTest::addColumn<QString>("Line");
    QTest::addColumn<int>("Slot");
    QTest::addColumn<QString>("Expected");
    const QString Pilcrow = QString(QChar(0x00B6));
    QTest::newRow("plain") << "STR18 = Error! Project not Valid" << 18 << "Error! Project not Valid";
    QTest::newRow("slot 1600 ignored") << "STR1600 = x" << 18 << "Error! Project not Valid";
    QTest::newRow("negative ignored") << "STR-1 = x" << 18 << "Error! Project not Valid";
    QTest::newRow("lower case ignored") << "str18 = x" << 18 << "Error! Project not Valid";
    QTest::newRow("leading blanks") << "  STR18 = x" << 18 << "x";
    QTest::newRow("tab and trailing controls") << "\tSTR18 = x\t " << 18 << "x";
    QTest::newRow("comment cut") << "STR18 = Text /#/ note" << 18 << "Text";
    QTest::newRow("only comment ignored") << "STR18 = /#/ note" << 18 << "Error! Project not Valid";
    QTest::newRow("pilcrow keeps blanks") << "STR304 = " + Pilcrow + "Selected Language : " + Pilcrow << 304
                                          << "Selected Language : ";
    QTest::newRow("lone pilcrow empties") << "STR18 = " + Pilcrow << 18 << "";
    QTest::newRow("pilcrow ends text") << "STR18 = ab" + Pilcrow + "cd" << 18 << "ab";
    QTest::newRow("nothing after equals") << "STR18 =" << 18 << "Error! Project not Valid";
    QTest::newRow("only first equals separates") << "STR18 = a = b" << 18 << "a = b";
    QTest::newRow("no equals") << "STR18 x" << 18 << "Error! Project not Valid";
    QTest::newRow("not a number") << "STRab = x" << 18 << "Error! Project not Valid";
    QTest::newRow("no blank before equals reads shorter number") << "STR12=x" << 1 << "x";
    QTest::newRow("one digit without blank ignored") << "STR1=x" << 1 << "Step 1";
    QTest::newRow("heading ignored") << "[Italiano]" << 18 << "Error! Project not Valid";
}

void Test_Lang_Strings::Lines()
{
    QFETCH(QString, Line);
    QFETCH(int, Slot);
    QFETCH(QString, Expected);
    Lang_Table Table;
    Table.Create_Default_Strings();
    Apply_Lang_Line(Table, Line);
    QCOMPARE(Table[Slot], Expected);
}

void Test_Lang_Strings::Later_Line_Wins_And_Line_Endings()
{
    QTemporaryDir Dir;
    const QString Path = Dir.path() + "/X.lng";
    Write_File(Path, "STR12 = one\rSTR13 = two\nSTR14 = three\r\nSTR12 = four\r\n\r\nnote\n");
    Lang_Table Table;
    Table.Create_Default_Strings();
    Load_Lang_File(Table, Path);
    QCOMPARE(Table[12], QString("four"));
    QCOMPARE(Table[13], QString("two"));
    QCOMPARE(Table[14], QString("three"));
    QCOMPARE(Table[15], QString("New Configuration"));
}

void Test_Lang_Strings::Encodings_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<QString>("Expected");
    const QString Text = QString::fromUtf8("Prix 5 € – “ok” ¶");
    const QString Line = "STR12 = " + QString::fromUtf8("Prix 5 € – “ok”");
    QByteArray Le("\xFF\xFE");
    QByteArray Be("\xFE\xFF");
    for (const QChar C : Line) {
        const char16_t U = C.unicode();
        Le.append(char(U & 0xFF)).append(char(U >> 8));
        Be.append(char(U >> 8)).append(char(U & 0xFF));
    }
    const QString Expected = QString::fromUtf8("Prix 5 € – “ok”");
    QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + Line.toUtf8() << Expected;
    QTest::newRow("utf-16 little endian") << Le << Expected;
    QTest::newRow("utf-16 big endian") << Be << Expected;
    // Without a mark: Windows-1252, where 0x80 is the euro sign and 0x93/0x94 typographic quotes.
    QTest::newRow("windows-1252") << QByteArray("STR12 = Prix 5 \x80 \x96 \x93ok\x94") << Expected;
    QTest::newRow("windows-1252 latin letters") << QByteArray("STR12 = Fran\xE7" "ais") << QString::fromUtf8("Français");
    Q_UNUSED(Text);
}

void Test_Lang_Strings::Encodings()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(QString, Expected);
    QTemporaryDir Dir;
    Write_File(Dir.path() + "/L.lng", Bytes);
    Lang_Table Table;
    Table.Create_Default_Strings();
    Load_Lang_File(Table, Dir.path() + "/L.lng");
    QCOMPARE(Table[12], Expected);
}

void Test_Lang_Strings::Unreadable_File_Keeps_Table()
{
    Lang_Table Table;
    Table.Create_Default_Strings();
    Load_Lang_File(Table, "/nonexistent/dir/None.lng");
    QCOMPARE(Table[12], QString("Information"));
}

void Test_Lang_Strings::Shipped_English_Template_Matches_Table()
{
    Lang_Table Defaults;
    Defaults.Create_Default_Strings();
    Lang_Table Loaded;
    Loaded.Create_Default_Strings();
    for (int I = 0; I < Loaded.Count(); ++I)
        Loaded.Set(I, "#");
    Load_Lang_File(Loaded, SW_ENGLISH_LNG);
    for (int I = 0; I < Defaults.Count(); ++I) {
        const QString Want = Defaults[I] == " " ? QString("#") : Defaults[I];
        QVERIFY2(Loaded[I] == Want, qPrintable(QString("slot %1: '%2'").arg(I).arg(Loaded[I])));
    }
}

QTEST_GUILESS_MAIN(Test_Lang_Strings)
#include "test_lang_strings.moc"
