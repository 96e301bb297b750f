#include "foundation/Text_Rules.h"
#include "support/Fixed_Separator.h"

#include <QTest>

#include <limits>
#include <optional>

class Test_Text_Rules : public QObject {
    Q_OBJECT
private slots:
    void Trimmed_data();
    void Trimmed();
    void Ascii_Upper_data();
    void Ascii_Upper();
    void Read_Integer_data();
    void Read_Integer();
    void Split_IP_Address_data();
    void Split_IP_Address();
    void Get_Decimal_Separator_data();
    void Get_Decimal_Separator();
    void Text_To_Float_data();
    void Text_To_Float();
};

void Test_Text_Rules::Trimmed_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("blanks") << "  a b  " << "a b";
    QTest::newRow("line breaks and tabs") << "\t\r\na\r\n" << "a";
    QTest::newRow("other C0 controls") << QString(QChar(1)) + "a" + QChar(0x1F) << "a";
    QTest::newRow("DEL and C1 controls") << QString(QChar(0x7F)) + "a" + QChar(0x85) << "a";
    QTest::newRow("only blanks and controls") << " \t\n " << "";
    QTest::newRow("inner blanks stay") << "a \t b" << "a \t b";
    QTest::newRow("no-break space is text") << QString(QChar(0xA0)) + "a" + QChar(0xA0)
                                            << QString(QChar(0xA0)) + "a" + QChar(0xA0);
    QTest::newRow("em space and ideographic space are text") << QString(QChar(0x2003)) + "a" + QChar(0x3000)
                                                             << QString(QChar(0x2003)) + "a" + QChar(0x3000);
}

void Test_Text_Rules::Trimmed()
{
    QFETCH(QString, Text);
    QFETCH(QString, Expected);
    QCOMPARE(::Trimmed(Text), Expected);
}

void Test_Text_Rules::Ascii_Upper_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("ASCII letters") << "Digital (Bit) int to float" << "DIGITAL (BIT) INT TO FLOAT";
    // Letters that Unicode upper-cases into ASCII keywords must not become them.
    QTest::newRow("dotless i") << QString::fromUtf8("d\u0131g\u0131tal") << QString::fromUtf8("D\u0131G\u0131TAL");
    QTest::newRow("long s") << QString::fromUtf8("\u017Fwap") << QString::fromUtf8("\u017FWAP");
    QTest::newRow("sharp s keeps its length") << QString::fromUtf8("stra\u00DFe") << QString::fromUtf8("STRA\u00DFE");
    QTest::newRow("accented letters stay") << QString::fromUtf8("\u00E9t\u00E9") << QString::fromUtf8("\u00E9T\u00E9");
    QTest::newRow("fullwidth letters stay") << QString::fromUtf8("\uFF59") << QString::fromUtf8("\uFF59");
}

void Test_Text_Rules::Ascii_Upper()
{
    QFETCH(QString, Text);
    QFETCH(QString, Expected);
    QCOMPARE(::Ascii_Upper(Text), Expected);
}

void Test_Text_Rules::Read_Integer_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<int>("Value");
    QTest::newRow("decimal") << "102" << true << 102;
    QTest::newRow("leading blanks") << "   255" << true << 255;
    QTest::newRow("leading zero") << "01" << true << 1;
    QTest::newRow("plus sign") << "+7" << true << 7;
    QTest::newRow("minus sign") << "-1" << true << -1;
    QTest::newRow("dollar hex") << "$FF" << true << 255;
    QTest::newRow("x hex") << "x1a" << true << 26;
    QTest::newRow("0x hex") << "0X10" << true << 16;
    QTest::newRow("signed hex") << "-$10" << true << -16;
    QTest::newRow("full hex pattern") << "$FFFFFFFF" << true << -1;
    QTest::newRow("hex pattern of the smallest") << "$80000000" << true << int(-2147483648LL);
    QTest::newRow("signed hex smallest") << "-$80000000" << true << int(-2147483648LL);
    QTest::newRow("signed hex largest") << "+$7FFFFFFF" << true << 2147483647;
    QTest::newRow("signed hex below the range") << "-$80000001" << false << 0;
    QTest::newRow("signed hex full pattern") << "-$FFFFFFFF" << false << 0;
    QTest::newRow("plus-signed hex full pattern") << "+x80000000" << false << 0;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("trailing blank") << "255 " << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("prefix only") << "$" << false << 0;
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("hex too large") << "$100000000" << false << 0;
    QTest::newRow("decimal point") << "1.5" << false << 0;
    QTest::newRow("letters") << "12a" << false << 0;
    QTest::newRow("hex letters in decimal") << "ff" << false << 0;
    QTest::newRow("non-Latin digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
}

void Test_Text_Rules::Read_Integer()
{
    QFETCH(QString, Text);
    QFETCH(bool, Ok);
    QFETCH(int, Value);
    const std::optional<qint32> Result = ::Read_Integer(Text);
    QCOMPARE(Result.has_value(), Ok);
    if (Ok)
        QCOMPARE(*Result, Value);
    QCOMPARE(::Read_Integer(Text, -1), Ok ? Value : -1);
}

void Test_Text_Rules::Split_IP_Address_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<QStringList>("Parts");
    QTest::newRow("plain") << "192.168.2.205" << true << QStringList{"192", "168", "2", "205"};
    QTest::newRow("blanks everywhere") << "  10 . 0 .  1 . 2  " << true << QStringList{"10", "0", "1", "2"};
    QTest::newRow("leading zero kept") << "010.0.0.1" << true << QStringList{"010", "0", "0", "1"};
    QTest::newRow("hex part") << "$C0.168.0.1" << true << QStringList{"$C0", "168", "0", "1"};
    QTest::newRow("three parts") << "10.0.1" << false << QStringList{"10", "0", "", ""};
    QTest::newRow("five parts") << "10.0.1.2.3" << false << QStringList{"10", "0", "1", "2.3"};
    QTest::newRow("256") << "10.0.256.1" << false << QStringList{"10", "0", "256", "1"};
    QTest::newRow("letters") << "10.a.1.2" << false << QStringList{"10", "a", "1", "2"};
    QTest::newRow("no dot") << "localhost" << false << QStringList{"", "", "", ""};
    QTest::newRow("empty part") << "10..1.2" << false << QStringList{"10", "", "1", "2"};
    QTest::newRow("tabs and a line break around") << "\t10.0.1.2\r\n" << true << QStringList{"10", "0", "1", "2"};
    QTest::newRow("no-break space is no blank") << QString(QChar(0xA0)) + "10.0.1.2" << false
                                                << QStringList{QString(QChar(0xA0)) + "10", "0", "1", "2"};
}

void Test_Text_Rules::Split_IP_Address()
{
    QFETCH(QString, Text);
    QFETCH(bool, Ok);
    QFETCH(QStringList, Parts);
    const Split_IP_Result Result = ::Split_IP_Address(Text);
    QCOMPARE(Result.Ok, Ok);
    if (Ok || Parts[3] != QString())
        for (int I = 0; I < 4; ++I)
            QCOMPARE(Result.Parts[static_cast<size_t>(I)], Parts[I]);
}

void Test_Text_Rules::Get_Decimal_Separator_data()
{
    QTest::addColumn<QString>("Setting");
    QTest::addColumn<QChar>("Separator");
    QTest::newRow("point") << "." << QChar('.');
    QTest::newRow("comma") << "," << QChar(',');
    QTest::newRow("nothing read") << "" << QChar(',');
    QTest::newRow("arabic separator") << QString(QChar(0x066B)) << QChar(',');
    QTest::newRow("only the first character counts") << ".," << QChar('.');
}

void Test_Text_Rules::Get_Decimal_Separator()
{
    QFETCH(QString, Setting);
    QFETCH(QChar, Separator);
    Fixed_Separator Source(Setting);
    QCOMPARE(::Get_Decimal_Separator(Source), Separator);
}

void Test_Text_Rules::Text_To_Float_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QChar>("Separator");
    QTest::addColumn<bool>("Ok");
    QTest::addColumn<float>("Value");
    for (const QChar Separator : {QChar(','), QChar('.')}) {
        const QByteArray S = Separator == QChar(',') ? "comma: " : "point: ";
        QTest::newRow(S + "dot typed") << "2.5" << Separator << true << 2.5F;
        QTest::newRow(S + "comma typed") << "2,5" << Separator << true << 2.5F;
        QTest::newRow(S + "integer") << "10" << Separator << true << 10.0F;
        QTest::newRow(S + "negative") << "-0.25" << Separator << true << -0.25F;
        QTest::newRow(S + "exponent") << "1.5E3" << Separator << true << 1500.0F;
        QTest::newRow(S + "letters") << "abc" << Separator << false << 1.0F;
        QTest::newRow(S + "empty") << "" << Separator << false << 1.0F;
        QTest::newRow(S + "grouping") << "1,234.5" << Separator << false << 1.0F;
        QTest::newRow(S + "grouping the other way") << "1.234,5" << Separator << false << 1.0F;
        QTest::newRow(S + "beyond float") << "1e40" << Separator << false << 1.0F;
        const float Largest = std::numeric_limits<float>::max();
        QTest::newRow(S + "largest float as printed") << "3.4028235e38" << Separator << true << Largest;
        QTest::newRow(S + "negative largest float") << "-3.4028235e38" << Separator << true << -Largest;
        QTest::newRow(S + "rounds down to the largest") << "3.4028235677e38" << Separator << true << Largest;
        // Halfway to 2^128 rounds to even, which is infinity.
        QTest::newRow(S + "halfway beyond the largest") << "340282356779733661637539395458142568448" << Separator
                                                        << false << 1.0F;
        // Neither the editor nor the device can do anything with these.
        QTest::newRow(S + "not a number") << "nan" << Separator << false << 1.0F;
        QTest::newRow(S + "infinity") << "inf" << Separator << false << 1.0F;
        QTest::newRow(S + "negative infinity") << "-Infinity" << Separator << false << 1.0F;
    }
}

void Test_Text_Rules::Text_To_Float()
{
    QFETCH(QString, Text);
    QFETCH(QChar, Separator);
    QFETCH(bool, Ok);
    QFETCH(float, Value);
    const Float_Result Result = ::Text_To_Float(Text, Separator);
    QCOMPARE(Result.Ok, Ok);
    QCOMPARE(Result.Value, Value);
}

QTEST_GUILESS_MAIN(Test_Text_Rules)
#include "test_text_rules.moc"
