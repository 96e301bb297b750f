#include "cli/Cli_History.h"

#include "project/Configuration.h"
#include "project/Project_History.h"
#include "project/Project_Lock.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Cli {

namespace {

// A folder that is no configuration, or whose files cannot be read, is
// refused as by every command.
std::optional<Command_Error> Refused_Folder(const QString& Dir)
{
    const auto Opened = Open_Configuration(Dir);
    if (Opened)
        return std::nullopt;
    return Command_Error{Opened.error().What == Read_Failure::Kind::Not_Configuration ? Wrong_Usage : File_Error,
                         Opened.error().Text()};
}

} // namespace

Result<Exit_Code> Run_History(const Invocation& Given, Command_Context& Context)
{
    const QString& Dir = Given.Arguments.first();
    if (const auto Refused = Refused_Folder(Dir))
        return std::unexpected(*Refused);
    const QList<Project_History::Version> Versions = Project_History::List(Dir);
    if (Given.Json) {
        Context.Out << QString::fromUtf8(Project_History::Json(Versions));
        return Done;
    }
    for (const Project_History::Version& V : Versions)
        Context.Out << V.Name << '\t' << V.File << '\t' << V.Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t'
                    << V.Size << '\n';
    return Done;
}

Result<Exit_Code> Run_Restore(const Invocation& Given, Command_Context& Context)
{
    const QString& Dir = Given.Arguments[0];
    const QString& Wanted = Given.Arguments[1];
    if (const auto Refused = Refused_Folder(Dir))
        return std::unexpected(*Refused);
    const std::optional<Project_History::Version> Chosen = Project_History::Find(Dir, Wanted);
    if (!Chosen)
        return Failure(Configuration_Errors, QStringLiteral("restore: no version %1 in %2")
                                                 .arg(Wanted, QDir::toNativeSeparators(Project_History::Folder(Dir))));
    // A program that has the configuration open would write over the restored file.
    Project_Lock Lock;
    if (Lock.Take(Dir) == Project_Lock::Outcome::Held_Elsewhere)
        return Failure(File_Error,
                       QStringLiteral("restore: %1 is open in another program (host %2, process %3, since %4); "
                                      "nothing restored")
                           .arg(QDir::toNativeSeparators(Dir), Lock.Other->Host, QString::number(Lock.Other->Pid),
                                Lock.Other->Since.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    if (const auto Restored = Project_History::Restore(Dir, *Chosen); !Restored) {
        const Write_Error& Failed = Restored.error();
        return Failure(File_Error, QDir::toNativeSeparators(Failed.Path) + QStringLiteral(": ")
                                       + (Failed.Refused_Link() ? QStringLiteral("a symbolic link is not written through")
                                                                : Failed.System_Text));
    }
    Context.Out << "restored " << QDir::toNativeSeparators(QDir(Dir).filePath(Chosen->File)) << " from "
                << Chosen->Name << '\n';
    return Done;
}

} // namespace Cli
