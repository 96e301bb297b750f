// Every reader of the program's files and of the updater's parameter file
// refuses a file that is not well-formed XML, naming the file, the line and
// the column; the settings file is then read like a missing one. Each case
// first reads the same file without its fault, so what is refused is the
// fault and not the file.

#include "editors/List_Files.h"
#include "project/Par_Gen_File.h"
#include "editors/Table_Model.h"
#include "ethernet_update/Update_Parameters.h"
#include "foundation/Workspace.h"
#include "gsdml/Profinet_XML.h"
#include "image/Configuration_Image.h"
#include "platform/Save_File_Dialog.h"
#include "platform/Xml_File.h"
#include "support/Fixed_Separator.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Files.h"
#include "update/Update_Parameter_File.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

class No_Save_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request&) override { return std::nullopt; }
};

enum class Reader {
    Par_Gen_Editor,
    Variables_Editor,
    Known_Cert_Editor,
    Compiler_Par_Gen,
    Compiler_Variables,
    Compiler_Known_Cert,
    Gsdml_Generator,
    Settings,
    Updater
};

// What a reader made of a file: the value it read, or its refusal.
struct Outcome {
    bool Refused = false;
    QString Message;
    QString Value;
};

// The fault goes where the file holds "@".
const QByteArray Par_Gen_Text = "<Par_Gen><PROFINET_NB_IN>@100</PROFINET_NB_IN></Par_Gen><!--SW_VERSION = 1.000-->";
const QByteArray Variables_Text = "<IEC61850_Variables><row Enable=\"Y\" Name=\"@T\" Type=\"Int\"/></IEC61850_Variables>"
                                  "<!--SW_VERSION = 1.000-->";
const QByteArray Known_Cert_Text = "<TLS_Server_Known_Cert><row Enable=\"Y\" Certificate=\"@C\" Mnemonic=\"m\"/>"
                                   "</TLS_Server_Known_Cert><!--SW_VERSION = 1.000-->";
const QByteArray Settings_Text = "<Conf_Settings><lastipadd><ipaddress>@10.1.2.3</ipaddress></lastipadd><lastinternet>"
                                 "<enable_internet>1</enable_internet></lastinternet></Conf_Settings>";

struct Fixture {
    QTemporaryDir Dir;
    Workspace Space{Dir.filePath("prog")};
    Fixed_Separator Separator;
    Configuration_Image Image{Space, &Separator};
    Scripted_Prompter Prompts;
    No_Save_Dialog Dialog;
    Profinet_XML Gsdml{Space};

    Fixture()
    {
        QDir().mkpath(Space.Exe_Dir + "/PROJECTS/P/bin");
        Space.Create_Directories();
        Space.Lang_Strings.Create_Default_Strings();
        Space.Activate_Project(QStringLiteral("P"));
    }

    // The reader's file, with Fault in place of "@" and Tail after the end.
    void Put(Reader Which, const QByteArray& Fault, const QByteArray& Tail)
    {
        const auto Put_Text = [&](const QString& Path, QByteArray Text) {
            Write_File(Path, Text.replace("@", Fault) + Tail);
        };
        switch (Which) {
        case Reader::Par_Gen_Editor:
        case Reader::Compiler_Par_Gen:
        case Reader::Gsdml_Generator: Put_Text(Space.File_ParGen, Par_Gen_Text); break;
        case Reader::Variables_Editor:
        case Reader::Compiler_Variables: Put_Text(Space.File_IEC61850_Variables, Variables_Text); break;
        case Reader::Known_Cert_Editor:
        case Reader::Compiler_Known_Cert: Put_Text(Space.File_TLS_Known_Cert, Known_Cert_Text); break;
        case Reader::Settings: Put_Text(Space.Settings_File(), Settings_Text); break;
        case Reader::Updater: {
            const QString Master = Space.Exe_Dir + "/MASTER";
            Write_File(Master + "/Sim40610.sim", QByteArray(300, 'f'));
            Write_File(Space.Project_Dir + "/bin/bank1.bin", QByteArray(2048, '\1'));
            Write_File(Space.Project_Dir + "/bin/bank2.bin", QByteArray("bank two"));
            Xml_File Doc;
            Write_Update_Parameters(Doc, {"127.0.0.1", 0, false}, {Master, Space.Project_Dir}, Space.Exe_Dir);
            const QString Path = Update_Parameter_File(Space.Exe_Dir);
            Put_Text(Path, Read_File(Path).replace("</Title>", "@</Title>"));
            break;
        }
        }
    }

    Outcome Read(Reader Which)
    {
        Outcome Out;
        try {
            switch (Which) {
            case Reader::Par_Gen_Editor: Out.Value = Par_Gen::Load(Space.File_ParGen)[Par_Gen::PROFINET_NB_IN]; break;
            case Reader::Variables_Editor: {
                Table_Model Table(Check_Kind::Text_Check, IEC61850_Variables::Data_Rows + 1, IEC61850_Variables::Columns);
                IEC61850_Variables::Init_Table(Table);
                IEC61850_Variables::Load(Space.File_IEC61850_Variables, Table);
                Out.Value = Table.Cell(1, IEC61850_Variables::Col_Name);
                break;
            }
            case Reader::Known_Cert_Editor: {
                Table_Model Table(Check_Kind::State_Check, TLS_Known_Cert::Data_Rows + 1, TLS_Known_Cert::Columns);
                TLS_Known_Cert::Init_Table(Table);
                TLS_Known_Cert::Load(Space.File_TLS_Known_Cert, Table);
                Out.Value = Table.Cell(1, TLS_Known_Cert::Col_Certificate);
                break;
            }
            case Reader::Compiler_Par_Gen:
            case Reader::Compiler_Variables:
            case Reader::Compiler_Known_Cert: {
                const bool Compiled = Image.Create_Bin() == Configuration_Image::Compile_Result::Compiled;
                const TIEC61850& Server = Image.IEC61850_Image;
                Out.Value = QStringLiteral("%1 %2 %3")
                                .arg(Compiled)
                                .arg(Server.Variables.size())
                                .arg(Server.TLS_Data.Known_Cert.size());
                break;
            }
            case Reader::Gsdml_Generator:
                Gsdml.Load_Profinet_Par();
                Out.Value = QString::number(Gsdml.Par.Input_Bytes);
                break;
            case Reader::Settings:
                Space.Read_Settings();
                // A settings file that is not XML is read like a missing one.
                Out.Refused = Space.Last_IP_Address == QLatin1StringView("192.168.2.205") && !Space.Enable_Internet;
                Out.Value = Space.Last_IP_Address;
                break;
            case Reader::Updater: {
                const auto Plan = Read_Update_Plan(Update_Parameter_File(Space.Exe_Dir));
                Out.Refused = !Plan;
                Out.Message = Plan ? QString() : Plan.error();
                Out.Value = Plan ? Plan->Title : QString();
                break;
            }
            }
        } catch (const Xml_Parse_Error& Error) {
            Out.Refused = true;
            Out.Message = Error.Message();
        }
        return Out;
    }
};

struct Reader_Case {
    const char* Name;
    Reader Which;
    const char* File;  // named in the refusal; null: refused without a message
    const char* Value; // read from the file without its fault
};

const Reader_Case Reader_Cases[] = {
    {"general parameters editor", Reader::Par_Gen_Editor, "ParGen.xml", "100"},
    {"variables editor", Reader::Variables_Editor, "IEC61850_Variables.xml", "T"},
    {"known certificates editor", Reader::Known_Cert_Editor, "TLS_Known_Cert.xml", "C"},
    {"compiler, general parameters", Reader::Compiler_Par_Gen, "ParGen.xml", "1 0 0"},
    {"compiler, variables", Reader::Compiler_Variables, "IEC61850_Variables.xml", "1 1 0"},
    {"compiler, known certificates", Reader::Compiler_Known_Cert, "TLS_Known_Cert.xml", "1 0 1"},
    {"GSDML generator", Reader::Gsdml_Generator, "ParGen.xml", "100"},
    {"settings", Reader::Settings, nullptr, "10.1.2.3"},
    {"updater", Reader::Updater, "Ethernet_Update.xml", "Korvex - SW40610 Ethernet Update"},
};

} // namespace

class Test_Not_Well_Formed : public QObject {
    Q_OBJECT
private slots:
    void Every_Reader_Refuses_data();
    void Every_Reader_Refuses();
};

void Test_Not_Well_Formed::Every_Reader_Refuses_data()
{
    QTest::addColumn<int>("Case");
    QTest::addColumn<QByteArray>("Fault");
    QTest::addColumn<QByteArray>("Tail");
    const struct {
        const char* Name;
        QByteArray Fault, Tail;
    } Faults[] = {
        {"NUL by reference", "&#0;", ""},
        {"undefined entity", "&undefined;", ""},
        {"invalid UTF-8", "\xC3(", ""},
        {"element after the root", "", "<Extra/>"},
    };
    for (int I = 0; I < int(std::size(Reader_Cases)); ++I)
        for (const auto& F : Faults)
            QTest::addRow("%s, %s", Reader_Cases[I].Name, F.Name) << I << F.Fault << F.Tail;
}

void Test_Not_Well_Formed::Every_Reader_Refuses()
{
    QFETCH(int, Case);
    QFETCH(QByteArray, Fault);
    QFETCH(QByteArray, Tail);
    const Reader_Case& C = Reader_Cases[Case];
    Fixture F;

    F.Put(C.Which, "", "");
    const Outcome Good = F.Read(C.Which);
    QVERIFY2(!Good.Refused, qPrintable(Good.Message));
    QCOMPARE(Good.Value, QString::fromUtf8(C.Value));

    F.Put(C.Which, Fault, Tail);
    const Outcome Bad = F.Read(C.Which);
    QVERIFY(Bad.Refused);
    if (C.File)
        QVERIFY2(Bad.Message.contains(QStringLiteral("%1 (line 1, column ").arg(QLatin1StringView(C.File))),
                 qPrintable(Bad.Message));
    if (C.Which == Reader::Compiler_Par_Gen || C.Which == Reader::Compiler_Variables
        || C.Which == Reader::Compiler_Known_Cert)
        QVERIFY2(!F.Image.Save_Bin(), "a refused compilation left banks to save");
}

QTEST_GUILESS_MAIN(Test_Not_Well_Formed)
#include "test_not_well_formed.moc"
