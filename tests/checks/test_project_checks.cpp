// The checks of the three project files on files as a hand edit leaves them:
// every finding with the line and column of its element, the rows involved,
// its severity and the window's text, in the order the window meets them.
#include "checks/Project_Checks.h"
#include "foundation/Lang_Strings.h"
#include "foundation/Workspace.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "support/Fixed_Separator.h"
#include "support/Test_Certificates.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Write_File;

namespace {

Lang_Table English()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    return Lang;
}

const Test_Pki::Set& Pki()
{
    static const Test_Pki::Set Made(QDateTime::currentDateTimeUtc());
    return Made;
}

// One variable row's attributes: a clean Int of 4 bytes at Position unless
// Changes (attribute=value pairs, "-" for a value leaves it out) say otherwise.
QString Variable(const QString& Name, int Position, const QStringList& Changes = {})
{
    QList<std::pair<QString, QString>> Values = {
        {"Enable", "Y"},     {"Name", Name},           {"Type", "Int"},       {"Length", "4"},
        {"ReadOnly", "N"},   {"Position", QString::number(Position)},          {"StartBit", ""},
        {"Conversion", "None"}, {"MultiplicationFactor", "None"}, {"Swap", "N"}, {"SwapWord", "N"}};
    for (const QString& Change : Changes) {
        const QString Key = Change.section(u'=', 0, 0);
        const QString Value = Change.section(u'=', 1);
        for (auto& [K, V] : Values)
            if (K == Key)
                V = Value;
    }
    QString Text = QStringLiteral("<row");
    for (const auto& [K, V] : Values)
        if (V != QLatin1String("-"))
            Text += QStringLiteral(" %1=\"%2\"").arg(K, V.toHtmlEscaped());
    return Text + QStringLiteral("/>");
}

// A list file as a hand edit leaves it: the root on line 1, each row on a
// line of its own indented by two blanks (its '<' in column 3), CR LF line ends.
QByteArray List_Document(const char* Root, const QStringList& Rows)
{
    QString Text = QStringLiteral("<%1>\r\n").arg(QLatin1String(Root));
    for (const QString& Row : Rows)
        Text += QStringLiteral("  ") + Row + QStringLiteral("\r\n");
    return (Text + QStringLiteral("</%1>\r\n").arg(QLatin1String(Root))).toUtf8();
}

// "LINE:COLUMN severity ROWS: TEXT" of each finding.
QStringList Described(const QList<Checks::Finding>& Findings)
{
    QStringList Lines;
    for (const Checks::Finding& F : Findings) {
        QStringList Rows;
        for (const int Row : F.Rows)
            Rows.append(QString::number(Row));
        Lines.append(QStringLiteral("%1:%2 %3 %4: %5")
                         .arg(F.Place.Line)
                         .arg(F.Place.Column)
                         .arg(F.Level == Checks::Severity::Error ? "error" : "warning", Rows.join(u','), F.Text));
    }
    return Lines;
}

} // namespace

class Test_Project_Checks : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    const Lang_Table Lang = English();

    QList<Checks::Finding> Variables_Of(const QStringList& Rows)
    {
        const QString Path = Dir.filePath(QStringLiteral("IEC61850_Variables.xml"));
        Write_File(Path, List_Document("IEC61850_Variables", Rows));
        return Checks::Check_Variables({Path, Variables_File::Read(Path).Rows, QLatin1Char(','), 1438}, Lang);
    }

    QList<Checks::Finding> Known_Of(const QStringList& Rows)
    {
        const QString Path = Dir.filePath(QStringLiteral("TLS_Known_Cert.xml"));
        Write_File(Path, List_Document("TLS_Server_Known_Cert", Rows));
        return Checks::Check_Known_Cert({Path, Known_Cert_File::Read(Path).Rows, false, QDateTime::currentDateTimeUtc()},
                                        Lang);
    }

private slots:
    void variables_data()
    {
        QTest::addColumn<QStringList>("Rows");
        QTest::addColumn<QStringList>("Findings");
        const QString Name_Twice = QStringLiteral("2:3 error 1: Error row 1!! Length must be between 1 and 4");
        QTest::newRow("clean") << QStringList{Variable("A", 0), Variable("B", 4)} << QStringList();
        QTest::newRow("the window's rules, in its order")
            << QStringList{Variable("A", 2000, {"Length=9", "Conversion="})}
            << QStringList{"2:3 error 1: Error row 1!! Length must be between 1 and 4",
                           "2:3 error 1: Error row 1!! Position must be between 0 and 1437",
                           "2:3 error 1: Error row 1!! Conversion must be Selected ",
                           "2:3 warning 1: Row 1 runs past the last byte 1437 of the data array: bytes 2000 to 2008"};
        QTest::newRow("one name on two enabled rows")
            << QStringList{Variable("VAR_001", 0), Variable("B", 4), Variable("VAR_001", 8)}
            << QStringList{"4:3 error 1,3: Error row 3!! the name \"VAR_001\" is already used by row 1"};
        QTest::newRow("one name, the second row disabled")
            << QStringList{Variable("VAR_001", 0), Variable("VAR_001", 8, {"Enable=N"})} << QStringList();
        QTest::newRow("type and conversion no editor writes")
            << QStringList{Variable("A", 0, {"Type=Flaot", "Conversion=Nope"})}
            << QStringList{"2:3 error 1: Error row 1!! Type must be Int, Float or Digital (Bit), not \"Flaot\"",
                           "2:3 error 1: Error row 1!! Conversion must be None, Int to Float or Float to Int, not "
                           "\"Nope\""};
        QTest::newRow("check boxes neither Y nor N")
            << QStringList{Variable("A", 0, {"ReadOnly=maybe", "SwapWord=y"}), Variable("B", 4, {"Swap=", "Enable=-"})}
            << QStringList{"2:3 warning 1: Row 1: ReadOnly holds \"maybe\" instead of Y or N",
                           "2:3 warning 1: Row 1: SwapWord holds \"y\" instead of Y or N"};
        QTest::newRow("start bits that are no bit of a byte")
            << QStringList{Variable("A", 0, {"Type=Digital (Bit)", "StartBit=9"}),
                           Variable("B", 1, {"Type=Digital (Bit)", "StartBit=x"})}
            << QStringList{"2:3 warning 1: Row 1 has the Start Bit 9, which is no bit of byte 0",
                           "3:3 warning 2: Row 2: Start Bit must be a bit from 0 to 7 for a Digital (Bit), not \"x\""};
        // The compiler sends every enabled row, also past one without a name.
        QTest::newRow("a row past one without a name")
            << QStringList{Variable("A", 0), Variable("", 4, {"Enable=N"}), Variable("C", 8, {"Length=9"})}
            << QStringList{"4:3 error 3: Error row 3!! Length must be between 1 and 4"};
        QStringList Many;
        for (int Row = 1; Row <= 52; ++Row)
            Many.append(Variable(QStringLiteral("V%1").arg(Row), 4 * (Row - 1), Row == 52 ? QStringList{"Enable=N"} : QStringList()));
        QTest::newRow("a 51st variable")
            << Many << QStringList{"52:3 error 51: Error row 51!! the device takes at most 50 variables"};
    }

    void variables()
    {
        QFETCH(QStringList, Rows);
        QFETCH(QStringList, Findings);
        QCOMPARE(Described(Variables_Of(Rows)), Findings);
    }

    void known_certificates_data()
    {
        QTest::addColumn<QStringList>("Rows");
        QTest::addColumn<QStringList>("Findings");
        const auto Row = [](const char* Enable, const QString& Certificate) {
            return QStringLiteral("<row Enable=\"%1\" Certificate=\"%2\" Mnemonic=\"\"/>")
                .arg(QLatin1String(Enable), Certificate.toHtmlEscaped());
        };
        const QString Cert = Pki().Unrelated.Pem();
        const QString Key = Pki().Other_Key.Pem();
        // The certificate attribute spans the lines of the PEM text; the row
        // after it starts further down.
        const int Cert_Lines = static_cast<int>(Cert.count(u'\n'));
        QTest::newRow("clean") << QStringList{Row("Y", Cert)} << QStringList();
        QTest::newRow("a key past an empty row is sent")
            << QStringList{Row("Y", Cert), Row("N", QString()), Row("Y", Key)}
            << QStringList{QStringLiteral("%1:3 error 3: Row 3: holds a private key; only certificates may be listed")
                               .arg(4 + Cert_Lines)};
        QTest::newRow("a disabled key past an empty row is not")
            << QStringList{Row("Y", Cert), Row("N", QString()), Row("N", Key)} << QStringList();
        QStringList Eleven;
        for (int I = 0; I < 10; ++I)
            Eleven.append(Row("N", QString()));
        Eleven.append(Row("Y", Cert));
        QTest::newRow("an 11th certificate")
            << Eleven << QStringList{"12:3 error 11: Error row 11!! the device takes at most 10 certificates"};
        QTest::newRow("a box neither Y nor N")
            << QStringList{Row("yes", Cert)} << QStringList{"2:3 warning 1: Row 1: Enable holds \"yes\" instead of Y or N"};
    }

    void known_certificates()
    {
        QFETCH(QStringList, Rows);
        QFETCH(QStringList, Findings);
        QCOMPARE(Described(Known_Of(Rows)), Findings);
    }

    void general_parameters_name_their_element()
    {
        // Characters, not bytes, count for the column.
        const QString Path = Dir.filePath(QStringLiteral("ParGen.xml"));
        Write_File(Path, "\xEF\xBB\xBF<Par_Gen>\n <IEC61850_Server_Password>\xC3\xA4\xC3\xB6</IEC61850_Server_Password>"
                         "<PROFINET_PORT>5000</PROFINET_PORT>\n\t<PROFINET_IP2>256</PROFINET_IP2>\n</Par_Gen>\n");
        Checks::Par_Gen_Input Input = Checks::Par_Gen_Input_Of(Path, Par_Gen::Stored::Read(Path));
        const QList<Checks::Finding> Found = Checks::Check_Par_Gen(Input, Lang);
        QCOMPARE(Described(Found),
                 (QStringList{QStringLiteral("3:2 error : ") + Lang[561],
                              QStringLiteral("2:57 error : ") + Lang[572]}));
        QCOMPARE(Found[0].Field, int(Par_Gen::PROFINET_IP2));
        QCOMPARE(Found[1].Field, int(Par_Gen::PROFINET_PORT));
    }

    void a_station_name_the_controller_cannot_use_is_a_warning_data()
    {
        QTest::addColumn<QByteArray>("Name");
        QTest::addColumn<int>("Rule_Slot");
        QTest::newRow("valid") << QByteArray("plant-north.line1") << -1;
        QTest::newRow("empty") << QByteArray("") << 740;
        QTest::newRow("capital letters") << QByteArray("Gateway1") << 742;
        QTest::newRow("hyphen at the end of a label") << QByteArray("gw-.north") << 743;
        QTest::newRow("port name") << QByteArray("port-001") << 744;
        QTest::newRow("an address") << QByteArray("192.168.2.205") << 745;
    }

    void a_station_name_the_controller_cannot_use_is_a_warning()
    {
        QFETCH(QByteArray, Name);
        QFETCH(int, Rule_Slot);
        const QString Path = Dir.filePath(QStringLiteral("ParGen.xml"));
        Write_File(Path, "<Par_Gen>\n  <PROFINET_NAME_STA>" + Name + "</PROFINET_NAME_STA>\n</Par_Gen>\n");
        const QList<Checks::Finding> Found =
            Checks::Check_Par_Gen(Checks::Par_Gen_Input_Of(Path, Par_Gen::Stored::Read(Path)), Lang);
        if (Rule_Slot < 0) {
            QCOMPARE(Described(Found), QStringList());
            return;
        }
        // A warning at the element: the name stays the user's to keep.
        QCOMPARE(Described(Found), QStringList{QStringLiteral("2:3 warning : ")
                                               + Lang[1124].arg(QString::fromUtf8(Name), Lang[Rule_Slot])});
        QCOMPARE(Found[0].Field, int(Par_Gen::PROFINET_NAME_STA));
    }

    // A node before the root element makes the reading rule take it as the
    // root: every value of the file is its default. The configuration's
    // check says so as an error at that node, so that nothing is compiled
    // from values the engineer never wrote, and the window says the same.
    void a_file_read_as_defaults_is_an_error_data()
    {
        QTest::addColumn<QString>("File");
        QTest::addColumn<QByteArray>("Before");
        QTest::addColumn<int>("Line");
        QTest::addColumn<int>("Column");
        QTest::addColumn<int>("Kind_Slot");
        const QStringList Files{"ParGen.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"};
        for (const QString& File : Files) {
            const QByteArray Name = File.toUtf8();
            QTest::addRow("%s, leading comment", Name.constData()) << File << QByteArray("<!-- edited by hand -->\n") << 1 << 1 << 1456;
            QTest::addRow("%s, leading DOCTYPE", Name.constData())
                << File << QByteArray("\r\n  <!DOCTYPE x [<!ENTITY a \"b\">]>\r\n") << 2 << 3 << 1457;
        }
        QTest::newRow("ParGen.xml, XML declaration after a byte-order mark")
            << "ParGen.xml" << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") << 1 << 1 << 1458;
        QTest::newRow("IEC61850_Variables.xml, processing instruction")
            << "IEC61850_Variables.xml" << QByteArray("\n\n\t<?editor x?>") << 3 << 2 << 1459;
        QTest::newRow("ParGen.xml, root first, comment after it") << "ParGen.xml" << QByteArray() << 0 << 0 << 0;
    }

    void a_file_read_as_defaults_is_an_error()
    {
        QFETCH(QString, File);
        QFETCH(QByteArray, Before);
        QFETCH(int, Line);
        QFETCH(int, Column);
        QFETCH(int, Kind_Slot);
        QTemporaryDir Program;
        Workspace Space(Program.path());
        Space.Lang_Strings = Lang;
        QVERIFY(QDir().mkpath(Program.path() + "/PROJECTS/Plant"));
        Space.Activate_Project("Plant");
        // Clean files that differ from the defaults.
        const QMap<QString, QByteArray> Clean{
            {"ParGen.xml", "<Par_Gen><PROFINET_NAME_STA>line-4</PROFINET_NAME_STA><PROFINET_NB_IN>64</PROFINET_NB_IN>"
                           "</Par_Gen><!--SW_VERSION = 1.000-->"},
            {"IEC61850_Variables.xml", List_Document("IEC61850_Variables", {Variable("Temp", 0)})},
            {"TLS_Known_Cert.xml", "<TLS_Server_Known_Cert/>"}};
        for (const auto& [Name, Bytes] : Clean.asKeyValueRange())
            Write_File(Space.Project_Dir + "/" + Name, (Name == File ? Before : QByteArray()) + Bytes);
        const QString Path = Space.Project_Dir + "/" + File;

        Fixed_Separator Separator;
        const QList<Checks::Finding> Found = Checks::Check_Configuration(Space, Separator);
        const std::optional<QString> Window_Says = Checks::Read_As_Defaults_Message(Path, Lang);
        if (Kind_Slot == 0) {
            QCOMPARE(Described(Found), QStringList());
            QCOMPARE(Window_Says, std::nullopt);
            return;
        }
        const QString Text = Lang[1455].arg(Lang[Kind_Slot]);
        QVERIFY2(Text.contains("read as defaults"), qPrintable(Text));
        QCOMPARE(Described(Found), QStringList{QStringLiteral("%1:%2 error : %3").arg(Line).arg(Column).arg(Text)});
        QCOMPARE(Found[0].File, Path);
        QVERIFY(Checks::Has_Errors(Found));
        QCOMPARE(Checks::Finding_Line(Found[0]),
                 QStringLiteral("%1:%2:%3: error: %4").arg(QDir::toNativeSeparators(Path)).arg(Line).arg(Column).arg(Text));
        QCOMPARE(Window_Says, QStringLiteral("%1 (line %2, column %3): %4")
                                  .arg(QDir::toNativeSeparators(Path)).arg(Line).arg(Column).arg(Text));
    }
};

QTEST_GUILESS_MAIN(Test_Project_Checks)
#include "test_project_checks.moc"
