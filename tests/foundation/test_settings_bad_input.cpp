// Damaged and hostile settings files: the start-up goes on with what could
// be read, a file it cannot read counting as missing. Every random case runs
// from a fixed seed.
#include "foundation/Lang_Strings.h"
#include "foundation/Workspace.h"
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

class Test_Settings_Bad_Input : public QObject {
    Q_OBJECT
private slots:
    void Settings_Survive_data();
    void Settings_Survive();
    void Settings_Truncated_At_Every_Offset();
    void Settings_Of_Random_Bytes();
};

namespace {

QByteArray Settings_Text(const QByteArray& Project, const QByteArray& Ip, const QByteArray& Language,
                         const QByteArray& Internet = "1")
{
    return "<Conf_Settings><lastproj><projectname>" + Project + "</projectname></lastproj><lastipadd><ipaddress>" + Ip
           + "</ipaddress></lastipadd><lastlang><language>" + Language
           + "</language></lastlang><lastinternet><enable_internet>" + Internet
           + "</enable_internet><enable_update>1</enable_update><enable_jump_field_tables>0</enable_jump_field_tables>"
             "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>";
}

struct Settings_Read {
    QString Project, Ip, Language;
    bool Internet, Update, Jump, Auto_Size;
};

Settings_Read Read_Settings_From(const QByteArray& Bytes)
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Write_File(Space.Settings_File(), Bytes);
    Space.Read_Settings();
    const QString Project = Space.Project_Name;
    // The start-up goes on with what was read.
    Space.Init_Language();
    Space.Restore_Project();
    if (Space.Lang_Strings.Count() != Lang_Table::Default_Count)
        qFatal("string table lost its slots");
    return {Project,    Space.Last_IP_Address, Space.Language_Name,           Space.Enable_Internet,
            Space.Enable_Update,   Space.Enable_Jump_Field_Tables, Space.Double_Click_Auto_Size};
}

// Nothing read may be larger than the file it came from.
void Verify_Bounded(const Settings_Read& R, qsizetype File_Size)
{
    QVERIFY(R.Project.toUtf8().size() <= File_Size);
    QVERIFY(R.Ip == QLatin1StringView("192.168.2.205") || R.Ip.toUtf8().size() <= File_Size);
    QVERIFY(R.Language.toUtf8().size() <= File_Size || R.Language == QLatin1StringView("English"));
}

} // namespace

void Test_Settings_Bad_Input::Settings_Survive_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<QString>("Ip");      // expected address; null: not checked
    QTest::addColumn<bool>("Internet");

    const QByteArray Big(Mega, '7');
    QTest::newRow("1 MB values") << Settings_Text(Big, Big, Big, Big) << QString::fromLatin1(Big) << false;
    QTest::newRow("1 MB of ones is no 1") << Settings_Text("", "1.2.3.4", "English", QByteArray(Mega, '1'))
                                          << "1.2.3.4" << false;

    QByteArray Deep = "<Conf_Settings><lastipadd><ipaddress>10.0.0.1</ipaddress></lastipadd><lastinternet>";
    for (int I = 0; I < 100000; ++I)
        Deep += "<enable_internet>";
    Deep += "1";
    for (int I = 0; I < 100000; ++I)
        Deep += "</enable_internet>";
    QTest::newRow("100000 levels deep") << Deep + "</lastinternet></Conf_Settings>" << "10.0.0.1" << false;
    QTest::newRow("deep and never closed") << Deep << "192.168.2.205" << false;

    QByteArray Doctype_Nest = "<!DOCTYPE Conf_Settings [";
    for (int I = 0; I < 100000; ++I)
        Doctype_Nest += "<!ELEMENT x (";
    QTest::newRow("nested declarations") << Doctype_Nest + Settings_Text("", "1.1.1.1", "English") << "192.168.2.205"
                                         << false;

    // Each entity would expand to ten of the previous one: 10^9 "lol"s.
    QByteArray Laughs = "<!DOCTYPE Conf_Settings [<!ENTITY lol \"lol\">";
    for (int I = 1; I < 10; ++I) {
        const QByteArray Previous = I == 1 ? "lol" : "lol" + QByteArray::number(I - 1);
        Laughs += "<!ENTITY lol" + QByteArray::number(I) + " \"" + QByteArray("&" + Previous + ";").repeated(10)
                  + "\">";
    }
    Laughs += "]>";
    // A document type declaration is the first node and so the root: every
    // value takes its default, and no entity is ever expanded.
    QTest::newRow("billion laughs") << Laughs + Settings_Text("&lol9;", "&lol9;", "&lol9;") << "192.168.2.205"
                                    << false;
    // An entity of 100 KB used ten thousand times would make 1 GB.
    const QByteArray Quadratic = "<!DOCTYPE Conf_Settings [<!ENTITY big \"" + QByteArray(100000, 'b') + "\">]>"
                                 + Settings_Text(QByteArray("&big;").repeated(10000), "&big;", "English");
    QTest::newRow("quadratic blow-up") << Quadratic << "192.168.2.205" << false;
    QTest::newRow("external entity") << "<!DOCTYPE Conf_Settings [<!ENTITY x SYSTEM \"/etc/passwd\">]>"
                                            + Settings_Text("&x;", "9.9.9.9", "English")
                                     << "192.168.2.205" << false;
    // A reference to an entity nobody declared makes the file malformed.
    QTest::newRow("undeclared entities") << Settings_Text(QByteArray("&lol9;").repeated(10000), "&lol9;", "&x;")
                                         << "192.168.2.205" << false;
    QTest::newRow("NUL in a text") << Settings_Text(QByteArray("a\0b", 3), "1.2.3.4", "English") << "192.168.2.205"
                                   << false;
    QTest::newRow("NUL after the root") << Settings_Text("", "1.2.3.4", "English") + QByteArray("\0<<<", 4)
                                        << "192.168.2.205" << false;
    QTest::newRow("NUL first") << QByteArray(1, '\0') + Settings_Text("", "1.2.3.4", "English") << "192.168.2.205"
                               << false;
    QTest::newRow("only NULs") << QByteArray(4096, '\0') << "192.168.2.205" << false;
    QTest::newRow("empty file") << QByteArray() << "192.168.2.205" << false;
    QTest::newRow("UTF-16 with mark") << QByteArray("\xFF\xFE")
                                             + QByteArray(reinterpret_cast<const char*>(
                                                              QString::fromLatin1(Settings_Text("", "5.6.7.8", "English"))
                                                                  .utf16()),
                                                          Settings_Text("", "5.6.7.8", "English").size() * 2)
                                      << "5.6.7.8" << true;
    QTest::newRow("odd-length UTF-16") << QByteArray("\xFF\xFE<\0C\0", 6) + QByteArray(1, 'x') << "192.168.2.205"
                                       << false;
    QTest::newRow("invalid UTF-8 in the address") << Settings_Text("", "1.2.\xFF\xC0.4", "\xED\xA0\x80")
                                                  << "192.168.2.205" << false;
}

void Test_Settings_Bad_Input::Settings_Survive()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(QString, Ip);
    QFETCH(bool, Internet);
    const Settings_Read R = Read_Settings_From(Bytes);
    Verify_Bounded(R, Bytes.size());
    if (!Ip.isNull())
        QCOMPARE(R.Ip, Ip);
    QCOMPARE(R.Internet, Internet);
    // A start-up never ends with a language that has no texts.
    QCOMPARE(R.Language, QStringLiteral("English"));
}

void Test_Settings_Bad_Input::Settings_Truncated_At_Every_Offset()
{
    const QByteArray Full = Settings_Text("Plant", "10.1.2.3", "Deutsch");
    const Settings_Read Whole = Read_Settings_From(Full);
    QCOMPARE(Whole.Ip, QStringLiteral("10.1.2.3"));
    QVERIFY(Whole.Internet && Whole.Update && !Whole.Jump && Whole.Auto_Size);
    for (qsizetype Size = 0; Size < Full.size(); ++Size) {
        const Settings_Read R = Read_Settings_From(Full.left(Size));
        // A cut file is read like a missing one: no half value, no stray flag.
        const bool Default = R.Ip == QLatin1StringView("192.168.2.205") && R.Project.isEmpty() && !R.Internet
                             && !R.Update && !R.Jump && !R.Auto_Size;
        QVERIFY2(Default, qPrintable(QStringLiteral("cut at %1").arg(Size)));
    }
}

void Test_Settings_Bad_Input::Settings_Of_Random_Bytes()
{
    std::mt19937 Random(40610);
    const QByteArray Valid = Settings_Text("Plant", "10.1.2.3", "English");
    for (int Case = 0; Case < 150; ++Case) {
        const QByteArray Bytes = Case % 2 ? Random_Bytes(Random, static_cast<qsizetype>(Random() % 2048))
                                          : Mutate(Valid, Random);
        const Settings_Read R = Read_Settings_From(Bytes);
        Verify_Bounded(R, Bytes.size());
        if (QTest::currentTestFailed()) {
            qWarning("case %d", Case);
            return;
        }
    }
}

QTEST_GUILESS_MAIN(Test_Settings_Bad_Input)
#include "test_settings_bad_input.moc"
