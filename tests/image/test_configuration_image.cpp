#include "image/Configuration_Image.h"
#include "image/Image_Fixtures.h"
#include "foundation/Workspace.h"
#include "support/Fixed_Separator.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Image_Fixtures;
using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

constexpr quint32 Base = 0x80000;

// Bytes written as hexadecimal pairs; blanks and bars only group them.
QByteArray Hex(const char* Text) { return QByteArray::fromHex(QByteArray(Text).replace('|', ' ')); }

// Writes the bytes spelled in hex into Block at Offset.
void Put(QByteArray& Block, int Offset, const char* Bytes)
{
    const QByteArray B = Hex(Bytes);
    Block.replace(Offset, B.size(), B);
}

// The parameter block with every default and nothing loaded.
QByteArray Default_Block_Bytes()
{
    QByteArray Block(2048, '\0');
    Put(Block, 0, "90 D0 03");
    Put(Block, 4, "90 D0 03");
    Put(Block, 12, "80 25");
    Put(Block, 40, "C0 A8 02 CD FF FF FF");
    Put(Block, 48, "FF FF FF FF");
    Put(Block, 52, "10 27 11 27 11 27");
    Put(Block, 436, "08 08 08 08 08 08 08 08");
    return Block;
}

// The one-variable configuration whose bank 2 is 92 bytes.
const char* const Example_92 = "66 00 | 00 00 00 00 | 56 00 08 00 | 00 00 00 00 | 00 00 00 00 | 56 00 08 00 |"
                               "00 00 00 00 | 56 00 08 00 | 00 00 00 00 | 00 00 00 00 | 36 00 08 00 |"
                               "00 00 00 00 | 01 00 00 00 | 36 00 08 00 |"
                               "57 00 08 00 | 04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 |"
                               "00 00 00 00 | 00 00 80 3F | 00 00 | 00 00 |"
                               "00 | 54 65 6D 70 00";

struct Expect {
    int Bank; // 1 or 2
    int Offset;
    QByteArray Bytes;
};

// A temporary program folder with one active configuration "P".
struct Image_Fixture {
    QTemporaryDir Dir;
    Workspace Space{Dir.path() + "/prog"};
    Fixed_Separator Separator;
    Configuration_Image Image{Space, &Separator};
    Scripted_Prompter Prompts;

    Image_Fixture()
    {
        Space.Lang_Strings.Create_Default_Strings();
        QDir().mkpath(Space.Projects_Dir + "/P/bin");
        Space.Activate_Project(QStringLiteral("P"));
    }
    void Write(const Project& P)
    {
        Write_Project(P, Space.File_ParGen, Space.File_IEC61850_Variables, Space.File_TLS_Known_Cert);
    }
    std::optional<Compile_Failure> Failure;
    // Compiles and saves; a failure is shown as the window shows it.
    bool Compile_And_Save()
    {
        const auto Result = Compile_And_Save_Banks(Image, Space);
        Failure = Result ? std::nullopt : std::optional(Result.error());
        if (Failure)
            Prompts.Error(Failure->Text);
        return Result.has_value();
    }
    QByteArray Bank1() const { return Read_File(Image.Bank1_Path()); }
    QByteArray Bank2() const { return Read_File(Image.Bank2_Path()); }
    QString Bin_Dir() const { return Space.Project_Dir + "/bin"; }
};

// Bank 1 is the whole block, closed with the checksum of its other bytes and
// pointing at the data area.
void Check_Bank1(const QByteArray& Bank1)
{
    QCOMPARE(Bank1.size(), 2048);
    quint32 Sum = 0;
    for (int I = 0; I < 2044; ++I)
        Sum += static_cast<quint8>(Bank1[I]);
    QCOMPARE(U32(Bank1, 2044), Sum);
    QCOMPARE(U32(Bank1, 1512), Base);
}

// Walks bank 2 as the device does and checks that every address points at the
// string it names, each string in its place and encoding, nothing in between.
void Check_Data_Area(const QByteArray& B, const Project& P)
{
    const auto Value = [&](const char* Name) { return P.ParGen_Value(QLatin1StringView(Name)).value_or(QString()); };
    const bool With_Known = Value("TLS_Server_Enable") == "1" && Value("TLS_Server_Enable_Known_Cert") == "1";
    QStringList Certs;
    if (With_Known && P.Has_Known_Cert)
        for (const Cert_Row& R : P.Known_Cert)
            if (R.Enable == "Y")
                Certs.append(R.Certificate);
    QStringList Names;
    if (P.Has_Variables)
        for (const Var_Row& R : P.Variables)
            if (R.Enable == "Y" && !R.Omit.contains("Enable"))
                Names.append(R.Name);
    const quint32 K = static_cast<quint32>(Certs.size());
    const quint32 V = static_cast<quint32>(Names.size());
    QVERIFY(B.size() >= 55);
    QCOMPARE(U32(B, 34), K);
    QCOMPARE(U32(B, 38), Base + 54);
    QCOMPARE(U32(B, 46), V);
    QCOMPARE(U32(B, 50), Base + 54 + 8 * K);
    const quint32 Zero = 54 + 8 * K + 32 * V;
    QCOMPARE(B.at(Zero), '\0');
    quint32 Cursor = Zero + 1;

    bool Ok = true;
    const auto String_At = [&](quint32 Address, const QByteArray& Bytes, const char* What) {
        if (Address != Base + Cursor || B.mid(Cursor, Bytes.size() + 1) != Bytes + '\0') {
            qWarning("%s: address 0x%x, expected 0x%x", What, Address, Base + Cursor);
            Ok = false;
        }
        Cursor += static_cast<quint32>(Bytes.size()) + 1;
    };
    // Key and certificates: an empty one points at the zero byte after the tables.
    const auto Text_Item = [&](int Add_Offset, int Length_Offset, const QString& Text, const char* What) {
        const QByteArray Bytes = Text.toUtf8();
        QCOMPARE(U32(B, Length_Offset), static_cast<quint32>(Bytes.size()));
        if (Text.isEmpty())
            QCOMPARE(U32(B, Add_Offset), Base + Zero);
        else
            String_At(U32(B, Add_Offset), Bytes, What);
    };
    // Pass phrase and password: an empty one is the address 0.
    const auto Optional_Item = [&](int Add_Offset, const QByteArray& Bytes, const char* What) {
        if (Bytes.isEmpty())
            QCOMPARE(U32(B, Add_Offset), 0U);
        else
            String_At(U32(B, Add_Offset), Bytes, What);
    };
    Text_Item(6, 10, Value("TLS_Server_Key"), "key");
    Optional_Item(14, Value("TLS_Server_Key_Password").toUtf8(), "pass phrase");
    Text_Item(18, 22, Value("TLS_Server_Server_Certificate"), "server certificate");
    Text_Item(26, 30, Value("TLS_Server_Root_Certificate"), "root certificate");
    Optional_Item(42, Low_Bytes(Value("IEC61850_Server_Password")), "password");
    // Known certificates and names: an empty one points where the next string begins.
    for (quint32 I = 0; I < K; ++I) {
        const QByteArray Bytes = Certs[I].toUtf8();
        QCOMPARE(U32(B, 54 + 8 * I + 4), static_cast<quint32>(Bytes.size()));
        if (Bytes.isEmpty())
            QCOMPARE(U32(B, 54 + 8 * I), Base + Cursor);
        else
            String_At(U32(B, 54 + 8 * I), Bytes, "known certificate");
    }
    for (quint32 I = 0; I < V; ++I) {
        const quint32 Entry = 54 + 8 * K + 32 * I;
        if (Names[I].isEmpty())
            QCOMPARE(U32(B, Entry), Base + Cursor);
        else
            String_At(U32(B, Entry), Low_Bytes(Names[I]), "variable name");
    }
    QVERIFY2(Ok, "a string is not where its address points");
    QCOMPARE(static_cast<quint32>(B.size()), Cursor);
}

Project With_ParGen(QMap<QString, QString> Values = {}, QSet<QString> Omit = {})
{
    Project P;
    P.Has_ParGen = true;
    P.ParGen = std::move(Values);
    P.ParGen_Omit = std::move(Omit);
    return P;
}

Var_Row Variable(const QString& Name)
{
    Var_Row R;
    R.Name = Name;
    return R;
}

} // namespace

Q_DECLARE_METATYPE(Image_Fixtures::Project)
Q_DECLARE_METATYPE(QList<Expect>)

class Test_Configuration_Image : public QObject {
    Q_OBJECT
private slots:
    void Default_Block_And_Close();
    void Compiles_Project_data();
    void Compiles_Project();
    void Recompilation_Starts_From_Nothing();
    void Refuses_Data_Area_Beyond_Capacity_data();
    void Refuses_Data_Area_Beyond_Capacity();
    void Malformed_Project_File_Stops_Compilation_data();
    void Malformed_Project_File_Stops_Compilation();
    void Write_Failure_Keeps_Previous_Banks_data();
    void Write_Failure_Keeps_Previous_Banks();
    void Read_Only_Bin_Folder();
    void Missing_Bin_Folder_Is_Made_Again();
    void Held_Lock_Refuses_With_Its_Process();
    void Lock_Of_An_Ended_Process_Is_Taken_Over();
};

void Test_Configuration_Image::Default_Block_And_Close()
{
    Image_Fixture F;
    F.Image.Param_Block.Set_U32(Par_Block_Field::Pn_Bytes_In, 77); // left over from an earlier compilation
    F.Image.Default_Par_Block();
    const QByteArray Expected = Default_Block_Bytes();
    quint32 Sum = 0;
    for (quint32 I = 0; I < 2048; ++I) {
        QCOMPARE(F.Image.Param_Block.U8(I), static_cast<quint8>(Expected[I]));
        Sum += I < 2044 ? F.Image.Param_Block.U8(I) : 0;
    }
    QCOMPARE(Sum, 3458U);

    QByteArray Buffer(3000, '\xEE');
    QCOMPARE(F.Image.Close_Par_Block(0, Buffer), 2048U);
    QCOMPARE(Buffer.mid(2044, 4), Hex("82 0D 00 00"));
    QCOMPARE(Buffer.left(2044), Expected.left(2044));
    QCOMPARE(Buffer.mid(2048), QByteArray(952, '\xEE'));
    const QByteArray Closed = Buffer.left(2048);
    QCOMPARE(F.Image.Close_Par_Block(100, Buffer), 2148U);
    QCOMPARE(Buffer.mid(100, 2048), Closed);
}

void Test_Configuration_Image::Compiles_Project_data()
{
    QTest::addColumn<Project>("project");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QList<Expect>>("expected");

    const auto Row = [](const char* Name, const Project& P, QList<Expect> E, const QString& Sep = ",") {
        QTest::newRow(Name) << P << Sep << E;
    };

    {
        QByteArray Block = Default_Block_Bytes();
        Block.replace(1512, 4, Hex("00 00 08 00"));
        Block.replace(2044, 4, Hex("8A 0D 00 00"));
        // Without general parameters the header's lengths hold 0 and the
        // texts point at the zero byte.
        Row("no project file", Project{}, {{1, 0, Block},
                                           {2, 0, Hex("66 00 | 00 00 00 00 | 36 00 08 00 | 00 00 00 00 | 00 00 00 00 |"
                                                      "36 00 08 00 | 00 00 00 00 | 36 00 08 00 | 00 00 00 00 |"
                                                      "00 00 00 00 | 36 00 08 00 | 00 00 00 00 | 00 00 00 00 |"
                                                      "36 00 08 00 | 00")}});
    }

    Project Example = With_ParGen();
    Example.Has_Variables = true;
    Example.Variables = {Variable("Temp")};
    Row("one variable, 92 bytes", Example,
        {{2, 0, Hex(Example_92)},
         {1, 40, Hex("C0 A8 00 05 | FF FF FF 00 | FF FF FF FF")},
         {1, 80, Hex("64 65 76 69 63 65 6E 61 6D 65 31 00 00 00 00 00 00 00 00 00")},
         {1, 104, Hex("D0 07")},
         {1, 116, Hex("9E 05 00 00 | 9E 05 00 00")},
         {1, 384, Hex("00 00 00 00")}});

    {
        Project P = Example;
        P.ParGen = {{"TLS_Server_Enable", "1"}, {"TLS_Server_Enable_Known_Cert", "1"}};
        P.Has_Known_Cert = true;
        P.Known_Cert = {{"Y", "0123456789", "ten"}, {"N", "disabled", ""}, {"Y", "", "empty"}};
        Row("known certificates of 10 and 0 bytes", P,
            {{2, 2, Hex("01 00 00 00")},
             {2, 34, Hex("02 00 00 00 | 36 00 08 00")},
             {2, 50, Hex("46 00 08 00")},
             {2, 54, Hex("67 00 08 00 0A 00 00 00 | 72 00 08 00 00 00 00 00")},
             {2, 70, Hex("72 00 08 00")},
             {2, 102, Hex("00 | 30 31 32 33 34 35 36 37 38 39 00 | 54 65 6D 70 00")}});

        P.ParGen = {{"TLS_Server_Enable", "0"}, {"TLS_Server_Enable_Known_Cert", "1"}};
        Row("known certificates with TLS off", P, {{2, 0, Hex(Example_92)}});
        P.ParGen = {{"TLS_Server_Enable", "1"}, {"TLS_Server_Enable_Known_Cert", "0"}};
        Row("known certificates with their check off", P,
            {{2, 2, Hex("01 00 00 00")}, {2, 34, Hex("00 00 00 00 | 36 00 08 00")}, {2, 50, Hex("36 00 08 00")}});

        P.ParGen = {{"TLS_Server_Enable", "1"},
                    {"TLS_Server_Enable_Known_Cert", "1"},
                    {"TLS_Server_Key", "-----BEGIN KEY-----\nabc\n-----END KEY-----\n"},
                    {"TLS_Server_Key_Password", "phrase \u00E9"},
                    {"TLS_Server_Server_Certificate", "server\ncert"},
                    {"TLS_Server_Root_Certificate", "root\ncert"},
                    {"IEC61850_Server_Password", "secret"}};
        P.Known_Cert = {{"Y", "first\ncertificate", ""}, {"Y", "", ""}, {"Y", "third", ""}};
        P.Variables = {Variable("A"), Variable(""), Variable("C")};
        Row("every kind of string", P, {});
    }

    {
        // Both banks byte for byte, worked out by hand from the device's layout:
        // every kind of string, empty ones included, and every block field the
        // project sets.
        Project P = With_ParGen({{"IEC61850_Server_Port", "$1234"},
                                 {"IEC61850_Server_Password", "pw"},
                                 {"TLS_Server_Enable", "1"},
                                 {"TLS_Server_Enable_Known_Cert", "1"},
                                 {"TLS_Server_Key", "KEY"},
                                 {"TLS_Server_Key_Password", "pp"},
                                 {"TLS_Server_Root_Certificate", "R\n"},
                                 {"PROFINET_IP1", "10"},
                                 {"PROFINET_IP2", "1"},
                                 {"PROFINET_IP3", "2"},
                                 {"PROFINET_IP4", "3"},
                                 {"PROFINET_SM3", "0"},
                                 {"PROFINET_GAT1", "10"},
                                 {"PROFINET_GAT2", "1"},
                                 {"PROFINET_GAT3", "2"},
                                 {"PROFINET_GAT4", "254"},
                                 {"PROFINET_EN_GAT", "1"},
                                 {"PROFINET_PORT", "34964"},
                                 {"PROFINET_NAME_STA", "plc-a"},
                                 {"PROFINET_NB_IN", "64"},
                                 {"PROFINET_NB_OUT", "32"},
                                 {"PROFINET_ENABLE_DIAGNOSTIC", "1"},
                                 {"PROFINET_DIAGNOSTIC_ADDRESS", "100"}});
        P.Has_Known_Cert = true;
        P.Known_Cert = {{"Y", "C1", ""}, {"Y", "", ""}};
        P.Has_Variables = true;
        Var_Row A = Variable("A");
        A.Type = "Float";
        A.Position = "2";
        A.Length = "32";
        A.ReadOnly = "Y";
        A.Conversion = "Int to Float";
        A.MultiplicationFactor = "2,5";
        A.Swap = "Y";
        P.Variables = {A, Variable("")};

        QByteArray Block = Default_Block_Bytes();
        Put(Block, 40, "0A 01 02 03 | FF FF 00 00 | 0A 01 02 FE");
        Put(Block, 80, "70 6C 63 2D 61");
        Put(Block, 104, "94 88");
        Put(Block, 116, "40 00 00 00 | 20 00 00 00");
        Put(Block, 384, "65 00 00 00");
        Put(Block, 1512, "00 00 08 00");
        // 3458 - 2352 (default addresses) + 793 + 461 + 284 + 64 + 32 + 101 + 8
        Put(Block, 2044, "21 0B 00 00");

        const QByteArray Bank2 = Hex("34 12 | 01 00 00 00 | 87 00 08 00 | 03 00 00 00 | 8B 00 08 00 |"
                                     "86 00 08 00 | 00 00 00 00 | 8E 00 08 00 | 02 00 00 00 | 02 00 00 00 |"
                                     "36 00 08 00 | 91 00 08 00 | 02 00 00 00 | 46 00 08 00 |"
                                     // known certificates at 54
                                     "94 00 08 00 | 02 00 00 00 | 97 00 08 00 | 00 00 00 00 |"
                                     // variables at 70
                                     "97 00 08 00 | 06 00 00 00 | 02 00 00 00 | 00 00 00 00 | 20 00 00 00 |"
                                     "01 00 00 00 | 00 00 20 40 | 01 00 | 01 00 |"
                                     "99 00 08 00 | 04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 |"
                                     "00 00 00 00 | 00 00 80 3F | 00 00 | 00 00 |"
                                     // zero byte at 134, then key, pass phrase, root certificate,
                                     // password, known certificate and name
                                     "00 | 4B 45 59 00 | 70 70 00 | 52 0A 00 | 70 77 00 | 43 31 00 | 41 00");
        Row("both banks worked out by hand", P, {{1, 0, Block}, {2, 0, Bank2}});
    }

    {
        Project P = With_ParGen({{"TLS_Server_Enable", "1"},
                                 {"TLS_Server_Key", "\u00E9\u20AC\U0001D11E"},
                                 {"IEC61850_Server_Password", "p\u00E4\u20ACx"}});
        P.Has_Variables = true;
        P.Variables = {Variable("\u03A91")};
        Row("characters above U+00FF", P,
            {{2, 6, Hex("57 00 08 00 | 09 00 00 00")},
             {2, 42, Hex("61 00 08 00")},
             {2, 54, Hex("66 00 08 00")},
             {2, 87, Hex("C3 A9 E2 82 AC F0 9D 84 9E 00 | 70 E4 AC 78 00 | A9 31 00")}});
    }

    const QMap<QString, QString> Gateway = {{"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "0"}, {"PROFINET_GAT3", "0"},
                                            {"PROFINET_GAT4", "1"}};
    {
        QMap<QString, QString> G = Gateway;
        G["PROFINET_EN_GAT"] = "0";
        Row("gateway disabled", With_ParGen(G), {{1, 48, Hex("FF FF FF FF")}});
        G["PROFINET_EN_GAT"] = "1";
        Row("gateway enabled", With_ParGen(G), {{1, 48, Hex("0A 00 00 01")}});
        G["PROFINET_EN_GAT"] = " 1";
        Row("gateway flag not exactly 1", With_ParGen(G), {{1, 48, Hex("FF FF FF FF")}});
        Row("gateway flag missing", With_ParGen(Gateway, {"PROFINET_EN_GAT"}), {{1, 48, Hex("FF FF FF FF")}});
    }

    Row("diagnostic on at 0", With_ParGen({{"PROFINET_ENABLE_DIAGNOSTIC", "1"}}), {{1, 384, Hex("01 00 00 00")}});
    Row("diagnostic on at 5",
        With_ParGen({{"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "5"}}),
        {{1, 384, Hex("06 00 00 00")}});
    Row("diagnostic off at 5",
        With_ParGen({{"PROFINET_ENABLE_DIAGNOSTIC", "0"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "5"}}),
        {{1, 384, Hex("00 00 00 00")}});
    Row("diagnostic on, address missing", With_ParGen({{"PROFINET_ENABLE_DIAGNOSTIC", "1"}}, {"PROFINET_DIAGNOSTIC_ADDRESS"}),
        {{1, 384, Hex("00 00 00 00")}});
    Row("diagnostic on, address not a number",
        With_ParGen({{"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "abc"}}),
        {{1, 384, Hex("01 00 00 00")}});
    Row("diagnostic on, largest address",
        With_ParGen({{"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "2147483647"}}),
        {{1, 384, Hex("00 00 00 80")}});

    Row("ports and octets that truncate",
        With_ParGen({{"PROFINET_PORT", "70000"},
                     {"PROFINET_IP1", "300"},
                     {"PROFINET_IP2", " 7"},
                     {"PROFINET_IP4", "7 "},
                     {"PROFINET_SM4", "$1FF"},
                     {"PROFINET_NB_IN", "x10"},
                     {"PROFINET_NB_OUT", "-1"},
                     {"IEC61850_Server_Port", "65638"}},
                    {"PROFINET_IP3"}),
        {{1, 104, Hex("70 11")},
         {1, 40, Hex("2C 07 00 05")},
         {1, 47, Hex("FF")},
         {1, 116, Hex("10 00 00 00 | FF FF FF FF")},
         {2, 0, Hex("66 00")}});
    Row("every element missing",
        With_ParGen({}, {"IEC61850_Server_Port", "PROFINET_IP1", "PROFINET_IP2", "PROFINET_IP3", "PROFINET_IP4",
                         "PROFINET_SM1", "PROFINET_SM4", "PROFINET_GAT4", "PROFINET_EN_GAT", "PROFINET_PORT",
                         "PROFINET_NAME_STA", "PROFINET_NB_IN", "PROFINET_NB_OUT", "TLS_Server_Key"}),
        {{2, 0, Hex("66 00")},
         {2, 10, Hex("00 00 00 00")},
         {1, 40, Hex("C0 A8 00 05 | FF FF FF 00 | FF FF FF FF")},
         {1, 80, Hex("64 65 76 69 63 65 6E 61 6D 65 31 00")},
         {1, 104, Hex("D0 07")},
         {1, 116, Hex("9E 05 00 00 | 9E 05 00 00")}});

    Row("station name longer than 15",
        With_ParGen({{"PROFINET_NAME_STA", "abcdefghijklmnopqrst"}, {"PROFINET_PORT", "65535"}}),
        {{1, 80, Hex("61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 00 | 00 00 00 00 00 00 00 00 | FF FF")}});
    Row("station name above U+00FF", With_ParGen({{"PROFINET_NAME_STA", "\u015Cta"}}),
        {{1, 80, Hex("5C 74 61 00 00")}});

    {
        Project P = With_ParGen();
        P.Has_Variables = true;
        for (const char* Factor : {"0,5", "0.5", "None", "abc", " none ", "-2,25", "nan"}) {
            P.Variables.append(Variable(QStringLiteral("V")));
            P.Variables.last().MultiplicationFactor = QLatin1StringView(Factor);
        }
        P.Variables.append(Variable(QStringLiteral("W")));
        P.Variables.last().Omit = {"MultiplicationFactor"};
        QList<Expect> E;
        const char* Bits[] = {"00 00 00 3F", "00 00 00 3F", "00 00 80 3F", "00 00 80 3F",
                              "00 00 80 3F", "00 00 10 C0", "00 00 80 3F", "00 00 80 3F"};
        for (int I = 0; I < 8; ++I)
            E.append({2, 54 + 32 * I + 24, Hex(Bits[I])});
        Row("factors with comma separator", P, E, ",");
        Row("factors with point separator", P, E, ".");
        Row("factors with unreadable separator", P, E, "");
    }

    {
        Project P = With_ParGen();
        P.Has_Variables = true;
        Var_Row V0 = Variable("D0");
        V0.Type = "Digital (Bit)";
        V0.StartBit = "3";
        V0.Position = "12";
        Var_Row V1 = Variable("I1");
        V1.Type = "int";
        V1.Length = "2";
        Var_Row V2 = Variable("F2");
        V2.Type = " float ";
        Var_Row V3 = Variable("B3");
        V3.Type = "Bogus";
        V3.ReadOnly = " y";
        V3.Conversion = "int to float";
        V3.Swap = "Y";
        V3.SwapWord = "Y";
        Var_Row V4 = Variable("C4");
        V4.Conversion = " FLOAT TO INT";
        V4.Swap = "y";
        V4.SwapWord = "Y";
        Var_Row V5 = Variable("M5");
        V5.Length = "abc";
        V5.Omit = {"Type", "Position", "StartBit", "ReadOnly", "Conversion", "Swap", "SwapWord"};
        Var_Row Off = Variable("off");
        Off.Enable = "N";
        Var_Row Lower = Variable("lower");
        Lower.Enable = "y";
        Var_Row No_Enable = Variable("none");
        No_Enable.Omit = {"Enable"};
        P.Variables = {V0, Off, V1, Lower, V2, No_Enable, V3, V4, V5};
        const char* Entries[] = {
            "02 00 00 00 | 0C 00 00 00 | 03 00 00 00 | 01 00 00 00 | 00 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 02 00 00 00 | 00 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
            "06 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 | 00 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 | 01 00 00 00 | 00 00 80 3F | 01 00 | 03 00",
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 | 00 00 00 00 | 00 00 80 3F | 02 00 | 02 00",
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 00 00 00 00 | 00 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
        };
        QList<Expect> E = {{2, 46, Hex("06 00 00 00")}};
        for (int I = 0; I < 6; ++I)
            E.append({2, 54 + 32 * I + 4, Hex(Entries[I])});
        Row("variable fields and skipped rows", P, E);
    }

    {
        // Keywords are matched in ASCII, trimmed of blanks and controls only:
        // letters that upper-case into them and other spaces keep a field unknown.
        Project P = With_ParGen();
        P.Has_Variables = true;
        Var_Row Dotless = Variable("T0");
        Dotless.Type = QString::fromUtf8("d\u0131g\u0131tal (b\u0131t)");
        Var_Row Spaced = Variable("R1");
        Spaced.ReadOnly = QString(QChar(0xA0)) + "Y";
        Var_Row Tabbed = Variable("C2");
        Tabbed.Conversion = QString::fromUtf8("\u0131nt to float");
        Tabbed.ReadOnly = "\tY\r\n";
        P.Variables = {Dotless, Spaced, Tabbed};
        const char* Entries[] = {
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 | 00 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 | 00 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
            "04 00 00 00 | 00 00 00 00 | 00 00 00 00 | 10 00 00 00 | 01 00 00 00 | 00 00 80 3F | 00 00 | 00 00",
        };
        QList<Expect> E = {{2, 46, Hex("03 00 00 00")}};
        for (int I = 0; I < 3; ++I)
            E.append({2, 54 + 32 * I + 4, Hex(Entries[I])});
        Row("keywords in ASCII", P, E);
    }
}

void Test_Configuration_Image::Compiles_Project()
{
    QFETCH(Project, project);
    QFETCH(QString, separator);
    QFETCH(QList<Expect>, expected);

    Image_Fixture F;
    F.Separator.Text = separator;
    F.Write(project);
    QVERIFY(F.Compile_And_Save());
    QVERIFY(F.Prompts.Messages.isEmpty());

    const QByteArray Bank1 = F.Bank1();
    const QByteArray Bank2 = F.Bank2();
    Check_Bank1(Bank1);
    if (QTest::currentTestFailed())
        return;
    Check_Data_Area(Bank2, project);
    if (QTest::currentTestFailed())
        return;
    for (const Expect& E : expected) {
        const QByteArray& Bank = E.Bank == 1 ? Bank1 : Bank2;
        QVERIFY2(Bank.size() >= E.Offset + E.Bytes.size(), qPrintable(QStringLiteral("bank %1 too short").arg(E.Bank)));
        QCOMPARE(Bank.mid(E.Offset, E.Bytes.size()).toHex(' '), E.Bytes.toHex(' '));
    }
}

void Test_Configuration_Image::Recompilation_Starts_From_Nothing()
{
    Image_Fixture F;
    Project P = Largest_Project();
    P.ParGen["IEC61850_Server_Port"] = "5000";
    P.ParGen["PROFINET_ENABLE_DIAGNOSTIC"] = "1";
    F.Write(P);
    QVERIFY(F.Compile_And_Save());
    QCOMPARE(F.Image.IEC61850_Image.Var_Number, 50U);
    QCOMPARE(F.Image.IEC61850_Image.TLS_Data.Known_Cert_Num, 10U);
    const QByteArray Large_Bank2 = F.Bank2();

    Image_Fixture Empty;
    QVERIFY(Empty.Compile_And_Save());

    for (const QString& File : {F.Space.File_ParGen, F.Space.File_IEC61850_Variables, F.Space.File_TLS_Known_Cert})
        QVERIFY(QFile::remove(File));
    QVERIFY(F.Compile_And_Save());
    QCOMPARE(F.Image.IEC61850_Image.port, quint16{102});
    QCOMPARE(F.Image.IEC61850_Image.Var_Number, 0U);
    QCOMPARE(F.Image.IEC61850_Image.TLS_Data.Known_Cert_Num, 0U);
    QCOMPARE(F.Bank1(), Empty.Bank1());
    QCOMPARE(F.Bank2(), Empty.Bank2());
    QCOMPARE(F.Image.Bank2_Buffer.size(), F.Bank2().size());
    QVERIFY(Large_Bank2.size() > F.Bank2().size());
}

void Test_Configuration_Image::Refuses_Data_Area_Beyond_Capacity_data()
{
    QTest::addColumn<int>("key_length");
    QTest::addColumn<bool>("fits");
    // Header, zero byte and the key with its zero: the key length + 56 bytes.
    QTest::newRow("exactly full") << 524288 - 56 << true;
    QTest::newRow("one byte over") << 524288 - 55 << false;
    QTest::newRow("far over") << 600000 << false;
}

void Test_Configuration_Image::Refuses_Data_Area_Beyond_Capacity()
{
    QFETCH(int, key_length);
    QFETCH(bool, fits);
    Image_Fixture F;
    Write_File(F.Image.Bank1_Path(), "previous 1");
    Write_File(F.Image.Bank2_Path(), "previous 2");
    Project P = With_ParGen({{"TLS_Server_Key", QString(key_length, QLatin1Char('K'))}});
    F.Write(P);

    QCOMPARE(F.Compile_And_Save(), fits);
    if (fits) {
        QVERIFY(F.Prompts.Messages.isEmpty());
        QCOMPARE(F.Bank2().size(), 524288);
        Check_Data_Area(F.Bank2(), P);
        return;
    }
    QCOMPARE(F.Prompts.Texts(), QStringList{"Error! The configuration is too large for the device memory"});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QCOMPARE(F.Bank1(), QByteArray("previous 1"));
    QCOMPARE(F.Bank2(), QByteArray("previous 2"));
    QCOMPARE(F.Image.Bank1_Length, 0U);
    QCOMPARE(F.Image.Bank2_Length, 0U);
    QVERIFY(!F.Image.Save_Bin());
}

void Test_Configuration_Image::Malformed_Project_File_Stops_Compilation_data()
{
    QTest::addColumn<int>("file");
    QTest::addColumn<bool>("unreadable");
    QTest::newRow("ParGen.xml") << 0 << false;
    QTest::newRow("IEC61850_Variables.xml") << 1 << false;
    QTest::newRow("TLS_Known_Cert.xml") << 2 << false;
    // A file that is there but cannot be read is no missing file: its
    // defaults would reach the device as if the user had made them.
    QTest::newRow("ParGen.xml unreadable") << 0 << true;
    QTest::newRow("IEC61850_Variables.xml unreadable") << 1 << true;
    QTest::newRow("TLS_Known_Cert.xml unreadable") << 2 << true;
}

void Test_Configuration_Image::Malformed_Project_File_Stops_Compilation()
{
    QFETCH(int, file);
    QFETCH(bool, unreadable);
#ifdef Q_OS_WIN
    if (unreadable)
        QSKIP("Windows has no permission bits that make a file unreadable to its owner");
#else
    if (unreadable && geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
#endif
    Image_Fixture F;
    F.Write(Largest_Project());
    const QString Paths[] = {F.Space.File_ParGen, F.Space.File_IEC61850_Variables, F.Space.File_TLS_Known_Cert};
    if (unreadable)
        QVERIFY(QFile::setPermissions(Paths[file], QFile::WriteOwner));
    else
        Write_File(Paths[file], "<root>\n<row Enable=\"Y\">\n</root>");
    Write_File(F.Image.Bank1_Path(), "previous 1");

    // The compilation stops with the file's error; nothing is written.
    QVERIFY(!F.Compile_And_Save());
    QCOMPARE(int(F.Failure->What), int(Compile_Failure::Kind::Not_Well_Formed));
    const QString Message = F.Failure->Text;
    const QString Expected_Start = QFileInfo(Paths[file]).fileName() + (unreadable ? ": " : " (line 3");
    QVERIFY2(Message.startsWith(Expected_Start), qPrintable(Message));
    QCOMPARE(F.Bank1(), QByteArray("previous 1"));
    QVERIFY(!QFileInfo::exists(F.Image.Bank2_Path()));
}

void Test_Configuration_Image::Write_Failure_Keeps_Previous_Banks_data()
{
    QTest::addColumn<QString>("directory");
    QTest::newRow("bank1.bin is a folder") << "bank1.bin";
    QTest::newRow("bank2.bin is a folder") << "bank2.bin";
}

void Test_Configuration_Image::Write_Failure_Keeps_Previous_Banks()
{
    QFETCH(QString, directory);
    Image_Fixture F;
    F.Write(Largest_Project());
    for (const QString Name : {"bank1.bin", "bank2.bin"}) {
        if (Name == directory)
            QVERIFY(QDir().mkpath(F.Bin_Dir() + "/" + Name));
        else
            Write_File(F.Bin_Dir() + "/" + Name, "previous");
    }

    QVERIFY(!F.Compile_And_Save());
    QCOMPARE(F.Prompts.Messages.size(), 1);
    const QString Prefix = "Error! The bank files could not be written: ";
    QVERIFY2(F.Prompts.Last_Text().startsWith(Prefix) && F.Prompts.Last_Text().size() > Prefix.size(),
             qPrintable(F.Prompts.Last_Text()));
    // Neither file of the pair was replaced.
    const QString Other = directory == "bank1.bin" ? "bank2.bin" : "bank1.bin";
    QCOMPARE(Read_File(F.Bin_Dir() + "/" + Other), QByteArray("previous"));
    QVERIFY(QFileInfo(F.Bin_Dir() + "/" + directory).isDir());
    QCOMPARE(QDir(F.Bin_Dir()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 2);
}

void Test_Configuration_Image::Read_Only_Bin_Folder()
{
#ifdef Q_OS_WIN
    QSKIP("the read-only attribute of a Windows folder does not stop writing into it");
#else
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
#endif
    Image_Fixture F;
    F.Write(Largest_Project());
    Write_File(F.Image.Bank1_Path(), "previous");
    QVERIFY(QFile::setPermissions(F.Bin_Dir(), QFile::ReadOwner | QFile::ExeOwner));
    const bool Written = F.Compile_And_Save();
    QFile::setPermissions(F.Bin_Dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!Written);
    QVERIFY2(F.Prompts.Last_Text().startsWith("Error! The bank files could not be written: "),
             qPrintable(F.Prompts.Last_Text()));
    QCOMPARE(F.Bank1(), QByteArray("previous"));
    QVERIFY(!QFileInfo::exists(F.Image.Bank2_Path()));
}

void Test_Configuration_Image::Missing_Bin_Folder_Is_Made_Again()
{
    Image_Fixture F;
    QVERIFY(QDir(F.Bin_Dir()).removeRecursively());
    QVERIFY(F.Compile_And_Save());
    QCOMPARE(F.Bank1().size(), 2048);
    QCOMPARE(F.Bank2().size(), 55);

    // A file where the folder belongs cannot be replaced: reported, not removed.
    QVERIFY(QDir(F.Bin_Dir()).removeRecursively());
    Write_File(F.Bin_Dir(), "not a folder");
    QVERIFY(!F.Compile_And_Save());
    QVERIFY(F.Prompts.Last_Text().startsWith("Error! The bank files could not be written: "));
    QCOMPARE(Read_File(F.Bin_Dir()), QByteArray("not a folder"));
}

// A compile of the same configuration that holds the lock past the wait:
// nothing is written and the message names the process holding it.
void Test_Configuration_Image::Held_Lock_Refuses_With_Its_Process()
{
    Image_Fixture F;
    F.Write(Largest_Project());
    Write_File(F.Image.Bank1_Path(), "previous 1");
    QLockFile Other(Compile_Lock_Path(F.Space.Project_Dir));
    QVERIFY(Other.tryLock(0));

    const auto Result = Compile_And_Save_Banks(F.Image, F.Space, 50);
    QVERIFY(!Result);
    QCOMPARE(int(Result.error().What), int(Compile_Failure::Kind::Busy));
    QCOMPARE(Result.error().Text, QStringLiteral("Error! Another compile of this configuration is running (process %1); "
                                                 "the bank files were not written. Try again when it has finished.")
                                      .arg(QCoreApplication::applicationPid()));
    QCOMPARE(F.Bank1(), QByteArray("previous 1"));
    QVERIFY(!QFileInfo::exists(F.Image.Bank2_Path()));

    Other.unlock();
    QVERIFY(Compile_And_Save_Banks(F.Image, F.Space, 0));
    QCOMPARE(F.Bank1().size(), 2048);
}

// A compile killed while it held the lock leaves the lock file behind; the
// next compile takes it over at once instead of waiting and giving up.
void Test_Configuration_Image::Lock_Of_An_Ended_Process_Is_Taken_Over()
{
#ifdef Q_OS_WIN
    QSKIP("the holder that ends without unlocking is a forked child (fork, waitpid), which Windows has not");
#else
    Image_Fixture F;
    F.Write(Largest_Project());
    const QString Lock_Path = Compile_Lock_Path(F.Space.Project_Dir);
    const pid_t Child = fork();
    if (Child == 0) {
        QLockFile Held(Lock_Path);
        _exit(Held.tryLock(0) ? 0 : 1);  // ends without unlocking
    }
    int Status = 0;
    QCOMPARE(waitpid(Child, &Status, 0), Child);
    QVERIFY(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
    QVERIFY(QFileInfo::exists(Lock_Path));

    QVERIFY(Compile_And_Save_Banks(F.Image, F.Space, 0));
    QCOMPARE(F.Bank1().size(), 2048);
#endif
}

QTEST_GUILESS_MAIN(Test_Configuration_Image)
#include "test_configuration_image.moc"
