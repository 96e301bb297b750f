#include "cli/Cli_Commands.h"

#include "certificates/Crypto_Module.h"
#include "cli/Cli_Commission.h"
#include "cli/Cli_Dcp.h"
#include "cli/Cli_Findings.h"
#include "cli/Cli_History.h"
#include "cli/Cli_Review.h"
#include "cli/Cli_Texts.h"
#include "gsdml/Profinet_File_Name.h"
#include "gsdml/Profinet_XML.h"
#include "image/Configuration_Image.h"
#include "platform/Decimal_Separator.h"
#include "platform/File_Read.h"
#include "platform/Raw_Ethernet.h"
#include "platform/Xml_File.h"
#include "project/Configuration.h"
#include "foundation/Ipv4_Address.h"
#include "foundation/Workspace.h"
#include "update/Update_Parameter_File.h"
#include "platform/Errno_Text.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

namespace Cli {

namespace {

QString Native(const QString& Path) { return QDir::toNativeSeparators(Path); }

// A command of the configuration ends early with its exit code and what it
// says on standard error, from deep inside: the one error of the command line.
struct Ended {
    Command_Error Error;
};

const QStringList& Update_Option_Names()
{
    static const QStringList Names = {QStringLiteral("firmware+configuration"), QStringLiteral("firmware"),
                                      QStringLiteral("configuration")};
    return Names;
}

class Session {
public:
    Session(const Invocation& Args_, const QString& Exe_Dir, QTextStream& Out_, QTextStream& Err_)
        : Args(Args_), Space(Exe_Dir), Out(Out_), Err(Err_)
    {
        // The texts come in the language the window was left in; nothing of
        // the program folder is created or written.
        Space.Read_Settings();
        Space.Set_Identity();
        Space.Init_Language();
        // The configuration is the folder given, wherever it lies.
        Space.Project_Dir = QDir(Args.Arguments.first()).absolutePath();
        Space.Project_Name = QFileInfo(Space.Project_Dir).fileName();
        Space.Set_Files();
        if (Args.Separator)
            Separator = std::make_unique<Given_Decimal_Separator>(QString(*Args.Separator));
        else
            Separator = std::make_unique<System_Decimal_Separator>();
    }

    Result<Exit_Code> Run()
    {
        try {
            const QString& Name = Args.Command->Name;
            if (Name == QLatin1String("compile"))
                return Compile();
            if (Name == QLatin1String("gsdml"))
                return Gsdml();
            if (Name == QLatin1String("check"))
                return Check();
            return Update_File();
        } catch (const Ended& E) {
            return std::unexpected(E.Error);
        } catch (const Xml_Parse_Error& E) {
            return Failure(Configuration_Errors, E.Message());
        } catch (const Update_File_Error& E) {
            return Failure(File_Error, Space.Write_Failure_Text(E.Failure));
        } catch (const std::runtime_error& E) {
            // A file that cannot be written.
            return Failure(File_Error, QString::fromStdString(E.what()));
        }
    }

private:
    const Invocation& Args;
    Workspace Space;
    QTextStream& Out;
    QTextStream& Err;
    std::unique_ptr<Decimal_Separator> Separator;

    void Print_Result(const QString& Line)
    {
        if (!Args.Quiet)
            Out << Line << '\n';
    }

    void Wrote(const QString& Path, qint64 Bytes)
    {
        Print_Result(Space.Str(Cli_Text::Wrote).arg(Native(Path), QString::number(Bytes)));
    }

    std::optional<Configuration> Config;

    static Ended Fail(Exit_Code Code, const QString& Text) { return Ended{{Code, Text}}; }
    static Ended Not_Opened(const Read_Failure& Why)
    {
        return Fail(Why.What == Read_Failure::Kind::Not_Configuration ? Wrong_Usage : File_Error, Why.Text());
    }

    // The folder must be there and hold at least one of the project files
    // (a mistyped path would otherwise give the defaults); a project file that
    // is there must be a readable regular file (a missing one gives its
    // defaults, as in the window).
    void Open()
    {
        auto Opened = Open_Configuration(Space.Project_Dir);
        if (!Opened)
            throw Not_Opened(Opened.error());
        Config = std::move(*Opened);
    }

    // Reports the findings on standard error; refuses to go on when one is an error.
    void Refuse_Errors(const QList<Finding>& Findings)
    {
        for (const Finding& F : Findings)
            Err << Finding_Line(F) << '\n';
        if (Has_Errors(Findings))
            throw Fail(Configuration_Errors, Space.Str(Cli_Text::Not_Written));
    }

    // Every finding about the configuration. Keys and certificates the
    // program could not read, its crypto module missing, say nothing about
    // the configuration: that is a file error of the program folder.
    QList<Finding> Checked_Configuration()
    {
        QList<Finding> Findings = Checks::Check_Configuration(*Config, Space.Lang_Strings, *Separator);
        if (const std::optional<Module_Failure> Missing = Certificates::Crypto_Failure())
            throw Fail(File_Error, Certificates::Crypto_Missing_Text(*Missing, Space.Lang_Strings));
        return Findings;
    }

    Exit_Code Compile()
    {
        // Opened under the compile lock: what is checked is what is compiled.
        const auto Found = Find_Configuration(Space.Project_Dir);
        if (!Found)
            throw Not_Opened(Found.error());
        const auto Lock = Lock_Compiles(Space);
        if (!Lock)
            throw Fail(File_Error, Lock.error().Text);
        auto Opened = Read_Configuration(*Found);
        if (!Opened)
            throw Not_Opened(Opened.error());
        Config = std::move(*Opened);
        Refuse_Errors(Checked_Configuration());
        Configuration_Image Image(Space, Separator.get());
        if (const auto Compiled = Compile_And_Save_Banks(Image, *Config, *Lock, Space); !Compiled) {
            const bool In_Configuration = Compiled.error().What == Compile_Failure::Kind::Too_Large
                                       || Compiled.error().What == Compile_Failure::Kind::Not_Well_Formed;
            throw Fail(In_Configuration ? Configuration_Errors : File_Error, Compiled.error().Text);
        }
        Wrote(Image.Bank1_Path(), Image.Bank1_Length);
        Wrote(Image.Bank2_Path(), Image.Bank2_Length);
        return Done;
    }

    Exit_Code Gsdml()
    {
        Open();
        // The description is made from the general parameters only.
        QList<Finding> Findings = Checked_Configuration();
        Findings.removeIf([&](const Finding& F) { return F.File != Space.File_ParGen; });
        Refuse_Errors(Findings);

        const QString Path = Args.Output.isEmpty()
                                 ? Workspace::Join(Space.Project_Dir,
                                                   Compose_Profinet_File_Name(Profinet_File_Name_Fix1, {},
                                                                              Profinet_File_Name_Fix2(QDate::currentDate())))
                                 : QFileInfo(Args.Output).absoluteFilePath();
        Profinet_XML Generator(Space);
        if (const auto Written = Generator.Create_Profinet_XML(Path); !Written)
            throw Fail(File_Error, Space.Write_Failure_Text(Written.error()));
        Wrote(Path, QFileInfo(Path).size());
        return Done;
    }

    Exit_Code Check()
    {
        Open();
        const QList<Finding> Findings = Checked_Configuration();
        // The parser's message goes to standard error in every form of output.
        for (const Finding& F : Findings)
            if (F.Not_Well_Formed)
                Err << "sw40610: " << F.Text << '\n';
        if (Args.Json) {
            Out << QString::fromUtf8(Findings_Json(Space.Project_Dir, Findings));
        } else {
            for (const Finding& F : Findings)
                Out << Finding_Line(F) << '\n';
            Print_Result(Summary_Line(Findings, Space.Lang_Strings));
        }
        return Has_Errors(Findings) ? Configuration_Errors : Done;
    }

    Exit_Code Update_File()
    {
        // Blanks around the address come from quoting in scripts; inside it they are refused.
        const QString Typed = Args.Value(Options::Device);
        const std::optional<Ipv4_Address> Address = Parse_Ipv4(Typed.trimmed());
        if (!Address)
            throw Ended{{Wrong_Usage,
                         QStringLiteral("update-file: '%1' is not an IPv4 address (four numbers 0 to 255)").arg(Typed),
                         true}};
        int Option_Index = 0;
        if (Args.Has(Options::Update_Option)) {
            Option_Index = static_cast<int>(Update_Option_Names().indexOf(Args.Value(Options::Update_Option)));
            if (Option_Index < 0)
                throw Ended{{Wrong_Usage,
                             QStringLiteral("update-file: --option must be one of %1")
                                 .arg(Update_Option_Names().join(QStringLiteral(", "))),
                             true}};
        }
        Open();
        const Update_Choice Choice{Address->Text(), Option_Index, !Args.Has(Options::No_Read_Back)};
        const Update_Sources Sources{Space.Master_Dir, Space.Project_Dir};
        Xml_File Doc;
        QString Path;
        if (Args.Output.isEmpty()) {
            Write_Update_Parameters(Doc, Choice, Sources, Space.Exe_Dir);
            Path = Update_Parameter_File(Space.Exe_Dir);
        } else {
            Path = QFileInfo(Args.Output).absoluteFilePath();
            Build_Update_Parameters(Doc, Choice, Sources);
            if (const auto Saved = Doc.Save(Path); !Saved)
                throw Fail(File_Error, Space.Write_Failure_Text(Saved.error()));
        }
        Wrote(Path, QFileInfo(Path).size());
        return Done;
    }
};

using Runner = Result<Exit_Code> (*)(const Invocation&, Command_Context&);

Result<Exit_Code> Run_Configuration_Command(const Invocation& Given, Command_Context& Context)
{
    return Session(Given, Context.Exe_Dir, Context.Out, Context.Err).Run();
}

Result<Exit_Code> Run_Device_Command(const Invocation& Given, Command_Context& Context)
{
    return Run_Dcp(Given, Context.Ethernet, Context.Out, Context.Err);
}

Result<Exit_Code> Run_Commissioning(const Invocation& Given, Command_Context& Context)
{
    return Run_Commission(Given, Context.Exe_Dir, Context.Ethernet, Context.Out, Context.Err, Context.Draw.Write_Record);
}

// What runs each command of the registry.
Runner Runner_Of(const QString& Name)
{
    static const QHash<QString, Runner> Runners = {
        {QStringLiteral("compile"), Run_Configuration_Command},
        {QStringLiteral("gsdml"), Run_Configuration_Command},
        {QStringLiteral("check"), Run_Configuration_Command},
        {QStringLiteral("update-file"), Run_Configuration_Command},
        {QStringLiteral("diff"), Run_Diff},
        {QStringLiteral("report"), Run_Report},
        {QStringLiteral("history"), Run_History},
        {QStringLiteral("restore"), Run_Restore},
        {QStringLiteral("discover"), Run_Device_Command},
        {QStringLiteral("set-name"), Run_Device_Command},
        {QStringLiteral("set-ip"), Run_Device_Command},
        {QStringLiteral("flash"), Run_Device_Command},
        {QStringLiteral("commission"), Run_Commissioning},
        {QStringLiteral("reset-to-factory"), Run_Commissioning},
    };
    return Runners.value(Name);
}

int Said(QTextStream& Err, const Command_Error& Error)
{
    Err << "sw40610: " << Error.Text << '\n';
    if (Error.Usage)
        Err << "Try 'sw40610 --help'.\n";
    return Error.Code;
}

} // namespace

int Run(const QStringList& Arguments_After_Program, const QString& Exe_Dir, QTextStream& Out, QTextStream& Err,
        Raw_Ethernet& Ethernet, const Drawing& Draw)
{
    const auto Given = Parse(Arguments_After_Program);
    if (!Given)
        return Said(Err, Given.error());
    if (Given->Help) {
        Out << (Given->Command ? Command_Help_Text(*Given->Command) : Help_Text());
        return Done;
    }
    if (Given->Version) {
        Out << Version_Text();
        return Done;
    }
    Command_Context Context{Exe_Dir, Out, Err, Ethernet, Draw};
    try {
        const Runner Run_Command = Runner_Of(Given->Command->Name);
        Q_ASSERT(Run_Command);
        const Result<Exit_Code> Ran = Run_Command(*Given, Context);
        return Ran ? *Ran : Said(Err, Ran.error());
    } catch (const std::bad_alloc&) {
        // A file that asks for more memory than there is ends the command, not the process.
        return Said(Err, {File_Error, Errno_Text(ENOMEM)});
    }
}

int Run(const QStringList& Arguments_After_Program, const QString& Exe_Dir, QTextStream& Out, QTextStream& Err,
        const Drawing& Draw)
{
    Pcap_Raw_Ethernet Ethernet;
    return Run(Arguments_After_Program, Exe_Dir, Out, Err, Ethernet, Draw);
}

int Main(int argc, char* argv[])
{
    // Past a file-size limit a write fails with its error instead of the
    // signal ending the process without a word.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication App(argc, argv);
    QCoreApplication::setApplicationName(Identity::SW_Code);
    QTextStream Out(stdout);
    QTextStream Err(stderr);
    const int Code = Run(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath(), Out, Err);
    Out.flush();
    Err.flush();
    return Code;
}

} // namespace Cli
