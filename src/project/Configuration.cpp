#include "project/Configuration.h"

#include "platform/File_Read.h"
#include "platform/Xml_File.h"
#include "project/Known_Cert_File.h"
#include "project/Variables_File.h"
#include "project/Xml_Place.h"
#include "platform/Errno_Text.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

// A file is there when its name is taken, also by a link to nothing.
bool Present(const QString& Path)
{
    const QFileInfo Info(Path);
    return Info.exists() || Info.isSymLink();
}

template <typename Contents, typename Parse>
Parsed<Contents> Parse_File(const std::optional<QByteArray>& Data, const QString& Path, Parse From_Bytes)
{
    if (!Data)
        return Contents();
    try {
        return From_Bytes(*Data, QFileInfo(Path).fileName());
    } catch (const Xml_Parse_Error& E) {
        return std::unexpected(E.Message());
    }
}

} // namespace

QString Read_Failure::Text() const
{
    if (What == Kind::Not_Configuration)
        return QStringLiteral("not a configuration folder: ") + QDir::toNativeSeparators(Path);
    return QDir::toNativeSeparators(Path) + QStringLiteral(": ") + Reason;
}

std::optional<Read_Failure> Configuration::First_Malformed() const
{
    if (!General)
        return Read_Failure{Files.File_ParGen, General.error()};
    if (!Variables)
        return Read_Failure{Files.File_IEC61850_Variables, Variables.error()};
    if (!Known_Certificates)
        return Read_Failure{Files.File_TLS_Known_Cert, Known_Certificates.error()};
    return std::nullopt;
}

std::expected<Active_Project, Read_Failure> Find_Configuration(const QString& Dir)
{
    const QString Folder = QDir::cleanPath(QDir(Dir).absolutePath());
    const QFileInfo Info(Folder);
    if (!Info.exists())
        return std::unexpected(Read_Failure{Folder, Errno_Text(ENOENT)});
    if (!Info.isDir())
        return std::unexpected(Read_Failure{Folder, Errno_Text(ENOTDIR)});
    Active_Project Files;
    Files.Project_Dir = Folder;
    Files.Project_Name = Info.fileName();
    Files.File_ParGen = Workspace::Join(Folder, Project_File_Name::ParGen);
    Files.File_IEC61850_Variables = Workspace::Join(Folder, Project_File_Name::IEC61850_Variables);
    Files.File_TLS_Known_Cert = Workspace::Join(Folder, Project_File_Name::TLS_Known_Cert);
    if (!Present(Files.File_ParGen) && !Present(Files.File_IEC61850_Variables) && !Present(Files.File_TLS_Known_Cert))
        return std::unexpected(Read_Failure{Folder, QStringLiteral("holds none of the project files"),
                                            Read_Failure::Kind::Not_Configuration});
    return Files;
}

std::expected<Configuration, Read_Failure> Read_Configuration(const Active_Project& Found)
{
    Configuration Config;
    Config.Files = Found;
    const QString* const Paths[] = {&Config.Files.File_ParGen, &Config.Files.File_IEC61850_Variables,
                                    &Config.Files.File_TLS_Known_Cert};
    // Each file read once, whole, before any is parsed: a file that cannot
    // be read refuses the configuration, one that is not well-formed is told
    // by whoever looks at it.
    std::optional<QByteArray> Data[3];
    for (int I = 0; I < 3; ++I) {
        if (!Present(*Paths[I]))
            continue;
        std::expected<QByteArray, Read_Error> Read = Read_Regular_File(*Paths[I]);
        if (!Read)
            return std::unexpected(Read_Failure{*Paths[I], Read.error().Text});
        Data[I] = std::move(*Read);
    }
    Config.General = Parse_File<Par_Gen::Stored>(Data[0], *Paths[0], &Par_Gen::Stored::From_Bytes);
    Config.Variables = Parse_File<List_File::Stored>(Data[1], *Paths[1], &Variables_File::From_Bytes);
    Config.Known_Certificates = Parse_File<List_File::Stored>(Data[2], *Paths[2], &Known_Cert_File::From_Bytes);
    return Config;
}

std::expected<Configuration, Read_Failure> Open_Configuration(const QString& Dir)
{
    const auto Found = Find_Configuration(Dir);
    if (!Found)
        return std::unexpected(Found.error());
    return Read_Configuration(*Found);
}
