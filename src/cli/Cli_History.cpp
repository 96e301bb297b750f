#include "cli/Cli_History.h"

#include "cli/Cli_Arguments.h"
#include "project/Project_History.h"
#include "project/Project_Lock.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Cli {

namespace {

int Refuse_Usage(QTextStream& Err, const QString& Reason)
{
    Err << "sw40610: " << Reason << "\nTry 'sw40610 --help'.\n";
    return Wrong_Usage;
}

// A folder that holds none of the project files is no configuration: a
// mistyped path is refused, as by the other commands.
bool Is_Configuration_Folder(const QString& Dir)
{
    if (!QFileInfo(Dir).isDir())
        return false;
    for (const char* Name : {"ParGen.xml", "IEC61850_Variables.xml", "TLS_Known_Cert.xml"}) {
        const QFileInfo File(QDir(Dir).filePath(QLatin1StringView(Name)));
        if (File.exists() || File.isSymLink())
            return true;
    }
    return false;
}

// Reads the command's arguments; Wanted positional arguments after the command name.
std::optional<QStringList> Parse(const QString& Command, const QStringList& Arguments, qsizetype Wanted,
                                 bool Takes_Json, bool& Json, QTextStream& Err, int& Code)
{
    QCommandLineParser Parser;
    const QCommandLineOption Json_Option(QStringLiteral("json"), {});
    if (Takes_Json)
        Parser.addOption(Json_Option);
    if (!Parser.parse(QStringList{QStringLiteral("sw40610")} + Arguments)) {
        Code = Refuse_Usage(Err, Command + QStringLiteral(": ") + Parser.errorText());
        return std::nullopt;
    }
    const QStringList Positional = Parser.positionalArguments();
    if (Positional.size() != Wanted || Positional.contains(QString())) {
        Code = Refuse_Usage(Err, Wanted == 1 ? Command + QStringLiteral(": one configuration folder is needed")
                                             : Command + QStringLiteral(": a configuration folder and a version are needed"));
        return std::nullopt;
    }
    if (!Is_Configuration_Folder(Positional[0])) {
        Err << "sw40610: not a configuration folder: " << QDir::toNativeSeparators(Positional[0]) << '\n';
        Code = Wrong_Usage;
        return std::nullopt;
    }
    Json = Takes_Json && Parser.isSet(Json_Option);
    return Positional;
}

} // namespace

bool Is_History_Command(const QStringList& Arguments_After_Program)
{
    return Arguments_After_Program.value(0) == QLatin1String("history");
}

bool Is_Restore_Command(const QStringList& Arguments_After_Program)
{
    return Arguments_After_Program.value(0) == QLatin1String("restore");
}

int Run_History(const QStringList& Arguments_After_Command, QTextStream& Out, QTextStream& Err)
{
    bool Json = false;
    int Code = Done;
    const auto Given = Parse(QStringLiteral("history"), Arguments_After_Command, 1, true, Json, Err, Code);
    if (!Given)
        return Code;
    const QList<Project_History::Version> Versions = Project_History::List(Given->at(0));
    if (Json) {
        Out << QString::fromUtf8(Project_History::Json(Versions));
        return Done;
    }
    for (const Project_History::Version& V : Versions)
        Out << V.Name << '\t' << V.File << '\t' << V.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
            << V.Size << '\n';
    return Done;
}

int Run_Restore(const QStringList& Arguments_After_Command, QTextStream& Out, QTextStream& Err)
{
    bool Json = false;
    int Code = Done;
    const auto Given = Parse(QStringLiteral("restore"), Arguments_After_Command, 2, false, Json, Err, Code);
    if (!Given)
        return Code;
    const QString Dir = Given->at(0);
    const std::optional<Project_History::Version> Chosen = Project_History::Find(Dir, Given->at(1));
    if (!Chosen) {
        Err << "sw40610: restore: no version " << Given->at(1) << " in "
            << QDir::toNativeSeparators(Project_History::Folder(Dir)) << '\n';
        return Configuration_Errors;
    }
    // A program that has the configuration open would write over the restored file.
    Project_Lock Lock;
    if (Lock.Take(Dir) == Project_Lock::Outcome::Held_Elsewhere) {
        Err << "sw40610: restore: " << QDir::toNativeSeparators(Dir) << " is open in another program (host "
            << Lock.Other->Host << ", process " << Lock.Other->Pid << ", since "
            << Lock.Other->Since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "); nothing restored\n";
        return File_Error;
    }
    if (const auto Restored = Project_History::Restore(Dir, *Chosen); !Restored) {
        const Write_Error& Failure = Restored.error();
        Err << "sw40610: " << QDir::toNativeSeparators(Failure.Path) << ": "
            << (Failure.Refused_Link() ? QStringLiteral("a symbolic link is not written through") : Failure.System_Text)
            << '\n';
        return File_Error;
    }
    Out << "restored " << QDir::toNativeSeparators(QDir(Dir).filePath(Chosen->File)) << " from " << Chosen->Name
        << '\n';
    return Done;
}

QString History_Help_Text()
{
    return QStringLiteral(
        "\n"
        "Earlier versions (kept in CONFIG_DIR/.history before each save, the newest 20 per file):\n"
        "  history CONFIG_DIR [--json] list the kept versions, newest first: VERSION, FILE, TIME,\n"
        "                              SIZE; or one JSON document [{\"file\", \"version\", \"time\",\n"
        "                              \"size\"}]\n"
        "  restore CONFIG_DIR VERSION  put a kept version back; the current one is kept first, so\n"
        "                              the restore can be undone; exit 0 done, 1 no such version,\n"
        "                              2 wrong usage, 3 not written (or the configuration is open\n"
        "                              in another program)\n");
}

} // namespace Cli
