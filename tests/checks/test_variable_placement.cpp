#include "checks/Variable_Placement.h"
#include "foundation/Lang_Strings.h"

#include <QTest>

namespace P = Variable_Placement;

namespace {

// One row of the variables file: Enable, Name, Type, Length, Position, StartBit;
// the other six attributes as the editor leaves a valid row.
QStringList Row(const QString& Enable, const QString& Name, const QString& Type, const QString& Length,
                const QString& Position, const QString& Start_Bit = {})
{
    return {Enable, Name, Type, Length, "N", Position, Start_Bit, "None", "None", "N", "N", ""};
}
QStringList Int(const QString& Name, int Position, int Length) { return Row("Y", Name, "Int", QString::number(Length), QString::number(Position)); }
QStringList Bit(const QString& Name, int Position, int Bit_) { return Row("Y", Name, "Digital (Bit)", "1", QString::number(Position), QString::number(Bit_)); }

QString Kind_Word(P::Finding_Kind Kind)
{
    switch (Kind) {
    case P::Finding_Kind::Byte_Overlap: return "bytes";
    case P::Finding_Kind::Bit_Overlap: return "bit";
    case P::Finding_Kind::Past_End: return "end";
    case P::Finding_Kind::Float_Length: return "float";
    case P::Finding_Kind::Start_Bit_Ignored: return "startbit";
    case P::Finding_Kind::Bad_Bit: return "badbit";
    }
    return "?";
}

// "bytes 1,2 12-13", "bit 1,2 5.3": kind, rows, bytes (and bit).
QStringList Compact(const P::Analysis& Result)
{
    QStringList Out;
    for (const P::Finding& F : Result.Findings) {
        QStringList Rows;
        for (int R : F.Rows)
            Rows.append(QString::number(R));
        QString Place = QString("%1-%2").arg(F.First).arg(F.Last);
        if (F.Kind == P::Finding_Kind::Bit_Overlap || F.Kind == P::Finding_Kind::Bad_Bit)
            Place = QString("%1.%2").arg(F.First).arg(F.Bit);
        Out.append(Kind_Word(F.Kind) + " " + Rows.join(',') + " " + Place);
    }
    return Out;
}

QString Free(const P::Analysis& Result)
{
    QStringList Out;
    for (const P::Byte_Range& R : Result.Free)
        Out.append(QString("%1-%2").arg(R.First).arg(R.Last));
    return Out.join(',');
}

} // namespace

class Test_Variable_Placement : public QObject {
    Q_OBJECT
private slots:
    void Findings_data();
    void Findings();
    void Byte_Users_And_Collisions();
    void Texts_Name_Rows_And_Bytes();
};

void Test_Variable_Placement::Findings_data()
{
    QTest::addColumn<QList<QStringList>>("Rows");
    QTest::addColumn<QStringList>("Expected");
    QTest::addColumn<QString>("Free_Ranges");
    QTest::addColumn<int>("First_Row");

    QTest::newRow("empty table") << QList<QStringList>{} << QStringList{} << "0-1437" << 0;
    QTest::newRow("byte overlap") << QList<QStringList>{Int("A", 10, 4), Int("B", 12, 2)}
                                  << QStringList{"bytes 1,2 12-13"} << "0-9,14-1437" << 1;
    QTest::newRow("adjacent blocks do not overlap") << QList<QStringList>{Int("A", 0, 4), Int("B", 4, 4)}
                                                    << QStringList{} << "8-1437" << 0;
    QTest::newRow("bit overlap") << QList<QStringList>{Int("A", 0, 1), Bit("B", 5, 3), Bit("C", 5, 3)}
                                 << QStringList{"bit 2,3 5.3"} << "1-4,6-1437" << 2;
    QTest::newRow("same byte different bits") << QList<QStringList>{Bit("A", 5, 0), Bit("B", 5, 7)} << QStringList{}
                                              << "0-4,6-1437" << 0;
    QTest::newRow("digital inside a byte variable") << QList<QStringList>{Int("A", 4, 2), Bit("B", 5, 1)}
                                                    << QStringList{"bytes 1,2 5-5"} << "0-3,6-1437" << 1;
    // The compiler gives a digital variable one byte whatever its Length says.
    QTest::newRow("digital length ignored")
        << QList<QStringList>{Row("Y", "A", "Digital (Bit)", "4", "0", "0"), Int("B", 1, 1)} << QStringList{}
        << "2-1437" << 0;
    QTest::newRow("three on one byte") << QList<QStringList>{Int("A", 0, 4), Int("B", 2, 2), Int("C", 3, 1)}
                                       << QStringList{"bytes 1,2 2-3", "bytes 1,3 3-3", "bytes 2,3 3-3"} << "4-1437"
                                       << 1;
    QTest::newRow("end of array") << QList<QStringList>{Int("A", 1436, 4)} << QStringList{"end 1 1438-1439"}
                                  << "0-1435" << 1;
    QTest::newRow("last byte fits") << QList<QStringList>{Int("A", 1434, 4)} << QStringList{} << "0-1433" << 0;
    QTest::newRow("float length") << QList<QStringList>{Int("A", 0, 1), Row("Y", "F", "Float", "2", "8")}
                                  << QStringList{"float 2 8-9"} << "1-7,10-1437" << 2;
    QTest::newRow("float of four bytes") << QList<QStringList>{Row("Y", "F", "Float", "4", "0")} << QStringList{}
                                         << "4-1437" << 0;
    // Type as the compiler reads it: trimmed, any letter case.
    QTest::newRow("type in other case") << QList<QStringList>{Row("Y", "F", " float ", "2", "0"),
                                                              Row("Y", "D", "digital (bit)", "3", "9", "2")}
                                        << QStringList{"float 1 0-1"} << "2-8,10-1437" << 1;
    QTest::newRow("start bit on non-digital") << QList<QStringList>{Row("Y", "A", "Int", "2", "6", "3")}
                                              << QStringList{"startbit 1 6-7"} << "0-5,8-1437" << 1;
    QTest::newRow("start bit that is no bit") << QList<QStringList>{Row("Y", "D", "Digital (Bit)", "1", "7", "9")}
                                              << QStringList{"badbit 1 7.9"} << "0-1437" << 1;
    QTest::newRow("several findings by row") << QList<QStringList>{Row("Y", "F", "Float", "3", "1436"), Int("A", 0, 4),
                                                                   Int("B", 2, 1)}
                                             << QStringList{"float 1 1436-1438", "end 1 1438-1438", "bytes 2,3 2-2"}
                                             << "4-1435" << 1;
    // Only the rows the compiler takes: Enable exactly "Y", up to the first blank Name.
    QTest::newRow("disabled rows ignored")
        << QList<QStringList>{Row("N", "A", "Int", "4", "0"), Row(" Y", "B", "Int", "4", "0"), Row("", "C", "Int", "4", "0"),
                              Int("D", 0, 4)}
        << QStringList{} << "4-1437" << 0;
    QTest::newRow("rows after blank name ignored") << QList<QStringList>{Int("A", 0, 4), Int("  ", 0, 4), Int("C", 0, 4)}
                                                   << QStringList{} << "4-1437" << 0;
    QTest::newRow("unreadable places are not placed")
        << QList<QStringList>{Row("Y", "A", "Int", "4", "abc"), Row("Y", "B", "Int", "", "0"),
                              Row("Y", "C", "Int", "2", "-1"), Row("Y", "D", "Digital (Bit)", "1", "3", "")}
        << QStringList{} << "0-1437" << 0;
    QTest::newRow("hexadecimal position") << QList<QStringList>{Row("Y", "A", "Int", "2", "0x10")} << QStringList{}
                                          << "0-15,18-1437" << 0;
}

void Test_Variable_Placement::Findings()
{
    QFETCH(QList<QStringList>, Rows);
    QFETCH(QStringList, Expected);
    QFETCH(QString, Free_Ranges);
    QFETCH(int, First_Row);
    const P::Analysis Result = P::Analyse(Rows);
    QCOMPARE(Compact(Result), Expected);
    QCOMPARE(Free(Result), Free_Ranges);
    QCOMPARE(Result.First_Row_Involved(), First_Row);
}

void Test_Variable_Placement::Byte_Users_And_Collisions()
{
    const P::Analysis Result = P::Analyse({Int("A", 10, 4), Bit("B", 20, 1), Bit("C", 20, 6), Int("D", 12, 1), Int("E", 1437, 2)});
    QCOMPARE(Result.Variables.size(), 5);
    QCOMPARE(Result.Users[10].size(), 1);
    QCOMPARE(Result.Users[12].size(), 2);
    QVERIFY(Result.Collides[12]);
    QVERIFY(!Result.Collides[11] && !Result.Collides[13]);
    // Two digital variables on different bits share the byte without colliding.
    QCOMPARE(Result.Users[20].size(), 2);
    QVERIFY(!Result.Collides[20]);
    QCOMPARE(Result.Variables[Result.Users[20][1]].Bit, 6);
    QCOMPARE(Result.Users[1437].size(), 1);
    QCOMPARE(Result.Variables[4].Last, 1438);
}

void Test_Variable_Placement::Texts_Name_Rows_And_Bytes()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    const P::Analysis Result = P::Analyse({Int("A", 10, 4), Int("B", 12, 2), Bit("C", 30, 2), Bit("D", 30, 2),
                                           Int("E", 1437, 2), Row("Y", "F", "Float", "1", "40", "5")});
    QCOMPARE(P::Finding_Texts(Result, Lang),
             (QStringList{"Rows 1 and 2 share bytes 12 to 13", "Rows 3 and 4 use the same bit 2 of byte 30",
                          "Row 5 runs past the last byte 1437 of the data array: byte 1438",
                          "Row 6 is a Float of 1 bytes instead of 4: byte 40",
                          "Row 6 has a Start Bit, which only a Digital (Bit) uses: byte 40"}));
    QCOMPARE(P::Free_Text(Result, Lang), QString("Free bytes: 0 to 9, 14 to 29, 31 to 39, 41 to 1436"));
    QCOMPARE(P::Free_Text(P::Analyse({Int("A", 0, 1)}), Lang), QString("Free bytes: 1 to 1437"));
}

QTEST_MAIN(Test_Variable_Placement)
#include "test_variable_placement.moc"
