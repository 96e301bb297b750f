// Damaged and hostile language files: the string table keeps its slots and
// its defaults where a file says nothing readable. Every random case runs
// from a fixed seed.
#include "foundation/Lang_Strings.h"
#include "platform/Hostile_Bytes.h"
#include "support/Test_Files.h"

#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace Hostile_Bytes;
using Test_Support::Write_File;

namespace {

constexpr int Mega = 1024 * 1024;

} // namespace

class Test_Language_Bad_Input : public QObject {
    Q_OBJECT
private slots:
    void Language_File_Survives_data();
    void Language_File_Survives();
    void Language_Files_Of_Random_Bytes();
};

namespace {

QByteArray Utf16(const QString& Text, bool Little_Endian)
{
    QByteArray Bytes;
    for (const QChar C : Text) {
        const char Low = static_cast<char>(C.unicode() & 0xFF);
        const char High = static_cast<char>(C.unicode() >> 8);
        Bytes.append(Little_Endian ? Low : High);
        Bytes.append(Little_Endian ? High : Low);
    }
    return Bytes;
}

} // namespace

void Test_Language_Bad_Input::Language_File_Survives_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<QString>("Slot_18");  // expected text; null: only its start is checked
    QTest::addColumn<QString>("Starts_With");

    const QString Default_18 = QStringLiteral("Error! Project not Valid");
    QTest::newRow("slot number wraps to 18 in 32 bits") << QByteArray("STR4294967314 = Wrapped\r\n") << Default_18
                                                       << QString();
    QTest::newRow("slot number wraps to 18 in 64 bits")
        << QByteArray("STR18446744073709551634 = Wrapped\r\n") << Default_18 << QString();
    QTest::newRow("largest int") << QByteArray("STR2147483647 = x\nSTR-2147483648 = y\nSTR2147483648 = z\n")
                                 << Default_18 << QString();
    QTest::newRow("a thousand digits") << "STR" + QByteArray(1000, '9') + " = x\n" << Default_18 << QString();
    QTest::newRow("slot 1600 and -1") << QByteArray("STR1600 = x\nSTR-1 = y\n") << Default_18 << QString();
    QTest::newRow("UTF-16LE, odd byte count")
        << QByteArray("\xFF\xFE") + Utf16(QStringLiteral("STR18 = Odd\r\n"), true) + "S" << "Odd" << QString();
    QTest::newRow("UTF-16BE, odd byte count")
        << QByteArray("\xFE\xFF") + Utf16(QStringLiteral("STR18 = Odd\r\nSTR19 = "), false) + "S" << "Odd"
        << QString();
    QTest::newRow("UTF-16 mark, one byte") << QByteArray("\xFF\xFE", 2) + "S" << Default_18 << QString();
    QTest::newRow("UTF-16 lone surrogate") << QByteArray("\xFF\xFE") + Utf16(QStringLiteral("STR18 = a"), true)
                                                  + QByteArray("\x00\xD8", 2) + Utf16(QStringLiteral("b\r\n"), true)
                                           << QString() << "a";
    QTest::newRow("UTF-32 mark") << QByteArray("\xFF\xFE\x00\x00S\0\0\0T\0\0\0R\0\0\0", 16) << Default_18
                                 << QString();
    QTest::newRow("UTF-8 mark, broken sequences") << QByteArray("\xEF\xBB\xBFSTR18 = a\xFF\xC0\xED\xA0\x80z\r\n")
                                                  << QString() << "a";
    QTest::newRow("NUL bytes") << QByteArray("STR18 = ab\0cd\r\n\0\0\0STR19 = x\n", 28) << QString() << "ab";
    QTest::newRow("1 MB text") << "STR18 = " + QByteArray(Mega, 'x') + "\n" << QString(Mega, QLatin1Char('x'))
                               << QString();
    QTest::newRow("1 MB of blanks before =") << "STR18" + QByteArray(Mega, ' ') + "= spaced\n" << "spaced"
                                             << QString();
    QTest::newRow("1 MB of line breaks") << QByteArray(Mega, '\r') + "STR18 = last\n" << "last" << QString();
    QTest::newRow("1 MB without a line break") << "STR18 = " + QByteArray(Mega, '=') << QString(Mega, QLatin1Char('='))
                                               << QString();
    QTest::newRow("1 MB of pilcrows") << "STR18 = " + QByteArray(Mega, '\xB6') << "" << QString();
}

void Test_Language_Bad_Input::Language_File_Survives()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(QString, Slot_18);
    QFETCH(QString, Starts_With);
    QTemporaryDir Dir;
    Write_File(Dir.path() + "/X.lng", Bytes);
    Lang_Table Table;
    Table.Create_Default_Strings();
    Load_Lang_File(Table, Dir.path() + "/X.lng");
    QCOMPARE(Table.Count(), Lang_Table::Default_Count);
    if (!Slot_18.isNull())
        QCOMPARE(Table[18], Slot_18);
    else
        QVERIFY2(Table[18].startsWith(Starts_With), qPrintable(Table[18].left(40)));
    QCOMPARE(Table[12], QStringLiteral("Information"));
}

void Test_Language_Bad_Input::Language_Files_Of_Random_Bytes()
{
    std::mt19937 Random(1600);
    QTemporaryDir Dir;
    const QString Path = Dir.path() + "/X.lng";
    Lang_Table Defaults;
    Defaults.Create_Default_Strings();
    for (int Case = 0; Case < 200; ++Case) {
        QByteArray Bytes = Random_Bytes(Random, static_cast<qsizetype>(Random() % 4096));
        // Some text lines among the noise, so the line parser is reached.
        for (int Line = 0; Line < 8; ++Line)
            Bytes.insert(static_cast<qsizetype>(Random() % (Bytes.size() + 1)),
                         "\nSTR" + QByteArray::number(static_cast<int>(Random() % 3400) - 1700) + " = t\n");
        if (Case % 4 == 1)
            Bytes.prepend("\xFF\xFE");
        else if (Case % 4 == 2)
            Bytes.prepend("\xEF\xBB\xBF");
        Write_File(Path, Bytes);
        Lang_Table Table;
        Table.Create_Default_Strings();
        Load_Lang_File(Table, Path);
        QCOMPARE(Table.Count(), Lang_Table::Default_Count);
        // Slot 0 is named by no line with a number of two digits or more.
        if (!Bytes.contains("STR0 ") && !Bytes.contains("STR-0 ") && !Bytes.contains("STR00"))
            QCOMPARE(Table[0], Defaults[0]);
    }
}

QTEST_GUILESS_MAIN(Test_Language_Bad_Input)
#include "test_language_bad_input.moc"
