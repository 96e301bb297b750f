#include "editors/Variables_Csv.h"
#include "foundation/Lang_Strings.h"
#include "support/Scripted_File_Dialogs.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

const QByteArray Bom("\xEF\xBB\xBF");
const QByteArray Header = "Enable,Name,Type,Length,ReadOnly,Position,StartBit,Conversion,MultiplicationFactor,Swap,SwapWord,Mnemonic";

QStringList Full_Row(const QString& Name, const QString& Mnemonic = {})
{
    return {"Y", Name, "Int", "4", "N", "0", "", "None", "None", "N", "N", Mnemonic};
}

// A row with only the named columns set, the others empty.
QStringList Partial(std::initializer_list<std::pair<int, QString>> Set)
{
    QStringList Row(12);
    for (const auto& [Index, Text] : Set)
        Row[Index] = Text;
    return Row;
}

QByteArray Rows_Of(int Count)
{
    QByteArray Text = Header + "\r\n";
    for (int I = 1; I <= Count; ++I)
        Text += "Y,V" + QByteArray::number(I) + ",Int,4,N," + QByteArray::number(4 * I) + ",,None,None,N,N,\r\n";
    return Text;
}

} // namespace

class Test_Variables_Csv : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Lang.Create_Default_Strings(); }
    void Export_Writes_Header_Mark_And_Quotes();
    void Round_Trip_data();
    void Round_Trip();
    void Import_data();
    void Import();
    void Refusals_data();
    void Refusals();
    void Export_File_Asks_And_Writes();
    void Import_File_Names_File_And_Line();

private:
    Lang_Table Lang;
};

void Test_Variables_Csv::Export_Writes_Header_Mark_And_Quotes()
{
    const QByteArray Text = Variables_Csv::Export(
        {Full_Row("Temp", "a,b"), Full_Row("Say \"hi\""), Full_Row(""), Full_Row("After blank name")});
    QCOMPARE(Text, Bom + Header + "\r\n" + "Y,Temp,Int,4,N,0,,None,None,N,N,\"a,b\"\r\n"
                       + "Y,\"Say \"\"hi\"\"\",Int,4,N,0,,None,None,N,N,\r\n");
    // An empty table still names its columns.
    QCOMPARE(Variables_Csv::Export({}), Bom + Header + "\r\n");
}

void Test_Variables_Csv::Round_Trip_data()
{
    QTest::addColumn<QList<QStringList>>("Rows");
    QTest::newRow("plain") << QList<QStringList>{Full_Row("Temp", "Boiler"), Full_Row("Press")};
    QTest::newRow("separators") << QList<QStringList>{Full_Row("a,b", "c;d"), Full_Row("tab\there", "x, y; z\t")};
    QTest::newRow("quotes") << QList<QStringList>{Full_Row("\"quoted\"", "he said \"\"no\"\""), Full_Row("a\"b")};
    QTest::newRow("line breaks") << QList<QStringList>{Full_Row("two\nlines", "cr lf\r\ninside"), Full_Row("end\n")};
    QTest::newRow("non-Latin letters")
        << QList<QStringList>{Full_Row("Температура", "温度センサー"), Full_Row("Δp ölçümü", "🌡 über")};
    QTest::newRow("blanks at the edges") << QList<QStringList>{Full_Row(" lead", "trail "), Full_Row("x", " ")};
    QTest::newRow("every field set") << QList<QStringList>{
        {"N", "V1", "Digital (Bit)", "1", "Y", "1437", "7", "Int to Float", "0,5", "Y", "Y", "mnemonic"}};
    QList<QStringList> Fifty;
    for (int I = 1; I <= 50; ++I)
        Fifty.append(Full_Row("V" + QString::number(I)));
    QTest::newRow("fifty rows") << Fifty;
}

void Test_Variables_Csv::Round_Trip()
{
    QFETCH(QList<QStringList>, Rows);
    const auto Read = Variables_Csv::Import(Variables_Csv::Export(Rows), Lang);
    QVERIFY2(Read, qPrintable(Read.error()));
    QCOMPARE(*Read, Rows);
}

void Test_Variables_Csv::Import_data()
{
    QTest::addColumn<QByteArray>("File");
    QTest::addColumn<QList<QStringList>>("Rows");
    const QList<QStringList> Two{Full_Row("Temp", "a, b; c"), Full_Row("Press")};
    QByteArray Comma = Header + "\r\nY,Temp,Int,4,N,0,,None,None,N,N,\"a, b; c\"\r\nY,Press,Int,4,N,0,,None,None,N,N,\r\n";
    QByteArray Semicolon = Comma;
    Semicolon.replace(',', ';').replace("\"a; b; c\"", "\"a, b; c\"");
    QByteArray Tab = Comma;
    Tab.replace(',', '\t').replace("\"a\t b; c\"", "\"a, b; c\"");
    QTest::newRow("comma") << Comma << Two;
    QTest::newRow("comma with mark") << Bom + Comma << Two;
    QTest::newRow("semicolon") << Semicolon << Two;
    QTest::newRow("semicolon with mark") << Bom + Semicolon << Two;
    QTest::newRow("tab") << Tab << Two;
    QTest::newRow("tab with mark") << Bom + Tab << Two;
    QTest::newRow("line feeds only") << QByteArray(Comma).replace("\r\n", "\n") << Two;
    QTest::newRow("no line break at the end") << Comma.chopped(2) << Two;
    QTest::newRow("columns in any order, names in any case")
        << QByteArray("Mnemonic;POSITION;name;Type\nm1;12;Temp;Float\n") << QList<QStringList>{Partial({{11, "m1"}, {5, "12"}, {1, "Temp"}, {2, "Float"}})};
    QTest::newRow("unknown columns ignored, missing ones empty")
        << QByteArray("Name,Comment,Length\nTemp,ignored,2\n") << QList<QStringList>{Partial({{1, "Temp"}, {3, "2"}})};
    QTest::newRow("quoted separators and line breaks")
        << QByteArray("Name;Mnemonic\n\"a;b\";\"first\r\nsecond\"\n\"x\"\"y\";\"\"\n")
        << QList<QStringList>{Partial({{1, "a;b"}, {11, "first\r\nsecond"}}), Partial({{1, "x\"y"}})};
    QTest::newRow("blank and empty lines skipped")
        << QByteArray("Name,Length\n\n,\nTemp,1\n  ,  \n\nPress,2\n")
        << QList<QStringList>{Partial({{1, "Temp"}, {3, "1"}}), Partial({{1, "Press"}, {3, "2"}})};
    QTest::newRow("fewer fields than the header") << QByteArray("Name,Length,Position\nTemp\n")
                                                  << QList<QStringList>{Partial({{1, "Temp"}})};
    QTest::newRow("blanks kept") << QByteArray("Name\t Mnemonic \n Temp \t m \n")
                                 << QList<QStringList>{Partial({{1, " Temp "}, {11, " m "}})};
    QTest::newRow("header only") << QByteArray(Header + "\r\n") << QList<QStringList>{};
    QByteArray Fifty = Rows_Of(50);
    QTest::newRow("fifty rows and blank lines") << Fifty + ",,,,,,,,,,,\r\n\r\n" << *Variables_Csv::Import(Fifty, Lang);
}

void Test_Variables_Csv::Import()
{
    QFETCH(QByteArray, File);
    QFETCH(QList<QStringList>, Rows);
    const auto Read = Variables_Csv::Import(File, Lang);
    QVERIFY2(Read, qPrintable(Read.error()));
    QCOMPARE(*Read, Rows);
}

void Test_Variables_Csv::Refusals_data()
{
    QTest::addColumn<QByteArray>("File");
    QTest::addColumn<QString>("Message");
    QTest::newRow("51 rows") << Rows_Of(51) << "Line 52: the file holds more than 50 rows of variables";
    QTest::newRow("51 rows after a field of two lines")
        << Rows_Of(51).replace("V1,", "\"V\n1\",") << "Line 53: the file holds more than 50 rows of variables";
    QTest::newRow("more fields than the header") << QByteArray("Name;Length\nA;1\nB;2;3\n")
                                                 << "Line 3: the line has 3 fields, the header only 2";
    QTest::newRow("more fields after a field of two lines")
        << QByteArray("Name,Mnemonic\n\"A\",\"x\r\ny\"\r\nB,m,extra\r\n") << "Line 4: the line has 3 fields, the header only 2";
    QTest::newRow("Latin-1 text") << QByteArray("Name,Mnemonic\nA,ok\nB,Temp\xE9rature\n")
                                  << "Line 3: the text is not valid UTF-8";
    QTest::newRow("cut sequence") << Bom + "Name\n\xE6\xB8\n" << "Line 2: the text is not valid UTF-8";
    QTest::newRow("overlong encoding") << QByteArray("Name\nA\n\xC0\xAF\n") << "Line 3: the text is not valid UTF-8";
    QTest::newRow("UTF-16 file") << QByteArray("\xFF\xFEN\0a\0m\0e\0", 10) << "Line 1: the text is not valid UTF-8";
    QTest::newRow("quote not closed") << QByteArray("Name,Mnemonic\nA,m\n\"B,m\n")
                                      << "Line 3: a quote is not closed or stands inside a field without quotes";
    QTest::newRow("quote inside a field") << QByteArray("Name,Mnemonic\nA,m\nB,5\"\n")
                                          << "Line 3: a quote is not closed or stands inside a field without quotes";
    QTest::newRow("no known column") << QByteArray("Variable;Address\nA;1\n")
                                     << "Line 1: the header names none of the columns of the Variables List";
    QTest::newRow("empty file") << QByteArray() << "The file holds no header line";
    QTest::newRow("mark only") << Bom << "The file holds no header line";
    QTest::newRow("control character") << QByteArray("Name,Mnemonic\nA,bell\a\n")
                                       << "Line 2: a field holds a control character, which the Variables List cannot keep";
    QTest::newRow("zero byte") << QByteArray("Name\nA\nB\0C\n", 11)
                               << "Line 3: a field holds a control character, which the Variables List cannot keep";
    // Values no editor writes: refused with the line and the column of the field.
    QTest::newRow("type no editor writes") << QByteArray("Name,Type\nA,Int\nB,Flaot\n")
                                           << "Line 3, column 2: Type must be Int, Float or Digital (Bit), not \"Flaot\"";
    QTest::newRow("type in other letters") << QByteArray("Name,Type\nA,int\n")
                                           << "Line 2, column 2: Type must be Int, Float or Digital (Bit), not \"int\"";
    QTest::newRow("conversion no editor writes")
        << QByteArray("Conversion;Name\nNope;A\n")
        << "Line 2, column 1: Conversion must be None, Int to Float or Float to Int, not \"Nope\"";
    QTest::newRow("check box neither Y nor N") << QByteArray("Name,Length,ReadOnly\nA,4,maybe\n")
                                               << "Line 2, column 3: ReadOnly holds \"maybe\" instead of Y or N";
    QTest::newRow("start bit of a digital variable")
        << QByteArray("Name,Type,StartBit\nA,Digital (Bit),8\n")
        << "Line 2, column 3: Start Bit must be a bit from 0 to 7 for a Digital (Bit), not \"8\"";
    QTest::newRow("name of an enabled row twice")
        << QByteArray("Enable,Name\nY,A\nN,B\n\"Y\",\"A\"\n") << "Line 4, column 2: the name \"A\" is already used on line 2";
}

void Test_Variables_Csv::Refusals()
{
    QFETCH(QByteArray, File);
    QFETCH(QString, Message);
    const auto Read = Variables_Csv::Import(File, Lang);
    QVERIFY(!Read);
    QCOMPARE(Read.error(), Message);
}

void Test_Variables_Csv::Export_File_Asks_And_Writes()
{
    QTemporaryDir Dir;
    Scripted_Save_Dialog Dialog;
    Scripted_Prompter Prompts;
    const QList<QStringList> Rows{Full_Row("Temp")};

    // Cancelled: nothing asked, nothing written.
    QVERIFY(!Variables_Csv::Export_File(Rows, Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Dialog.Requests.size(), 1);
    QCOMPARE(Dialog.Requests[0].Initial_Folder, Dir.path());
    QCOMPARE(Dialog.Requests[0].Preset_Name, QString("IEC61850_Variables.csv"));
    QCOMPARE(Dialog.Requests[0].Filter_Pattern, QString("*.csv"));
    QVERIFY(QDir(Dir.path()).isEmpty());

    // A name without suffix gets ".csv".
    Dialog.Answer = Dir.path() + "/list";
    QVERIFY(Variables_Csv::Export_File(Rows, Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Read_File(Dir.path() + "/list.csv"), Variables_Csv::Export(Rows));
    // The user is told where the rows went and how many they were.
    QCOMPARE(Prompts.Messages.size(), 1);
    QCOMPARE(Prompts.Messages[0].Kind, Prompt_Kind::Information);
    QCOMPARE(Prompts.Last_Text(), Lang[1533].arg(1).arg(QDir::toNativeSeparators(Dir.path() + "/list.csv")));
    Prompts.Messages.clear();

    // An existing file is replaced only on Yes.
    Write_File(Dir.path() + "/old.csv", "keep me");
    Dialog.Answer = Dir.path() + "/old.csv";
    Prompts.Answers = {Prompt_Answer::No};
    QVERIFY(!Variables_Csv::Export_File(Rows, Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Read_File(Dir.path() + "/old.csv"), QByteArray("keep me"));
    QCOMPARE(Prompts.Last_Text(), Lang[1105]);
    Prompts.Answers = {Prompt_Answer::Yes};
    QVERIFY(Variables_Csv::Export_File(Rows, Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Read_File(Dir.path() + "/old.csv"), Variables_Csv::Export(Rows));

    // A folder that does not exist: the error names the file.
    Prompts.Messages.clear();
    Dialog.Answer = Dir.path() + "/missing/list.csv";
    QVERIFY(!Variables_Csv::Export_File(Rows, Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Prompts.Messages.size(), 1);
    QCOMPARE(Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY(Prompts.Messages[0].Text.startsWith(QDir::toNativeSeparators(Dir.path() + "/missing/list.csv") + "\n"));
}

void Test_Variables_Csv::Import_File_Names_File_And_Line()
{
    QTemporaryDir Dir;
    Scripted_Open_Dialog Dialog;
    Scripted_Prompter Prompts;
    QVERIFY(!Variables_Csv::Import_File(Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Dialog.Requests.size(), 1);
    QCOMPARE(Dialog.Requests[0].Initial_Folder, Dir.path());
    QVERIFY(Prompts.Messages.isEmpty());

    const QString Bad = Dir.path() + "/bad.csv";
    Write_File(Bad, "Name;Length\nA;1\nB;2;3\n");
    Dialog.Answer = Bad;
    QVERIFY(!Variables_Csv::Import_File(Dir.path(), Dialog, Prompts, Lang));
    QCOMPARE(Prompts.Last_Text(), QDir::toNativeSeparators(Bad) + "\nLine 3: the line has 3 fields, the header only 2");

    Dialog.Answer = Dir.path() + "/gone.csv";
    QVERIFY(!Variables_Csv::Import_File(Dir.path(), Dialog, Prompts, Lang));
    QVERIFY(Prompts.Last_Text().startsWith(QDir::toNativeSeparators(Dir.path() + "/gone.csv") + "\n" + Lang[1192]));

    const QString Good = Dir.path() + "/good.csv";
    Write_File(Good, Variables_Csv::Export({Full_Row("Temp")}));
    Dialog.Answer = Good;
    const auto Rows = Variables_Csv::Import_File(Dir.path(), Dialog, Prompts, Lang);
    QVERIFY(Rows);
    QCOMPARE(*Rows, QList<QStringList>{Full_Row("Temp")});
}

QTEST_MAIN(Test_Variables_Csv)
#include "test_variables_csv.moc"
