#include "platform/Program_Module.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

#ifdef Q_OS_WIN
#include "platform/Windows_Error.h"

#include <windows.h>
#else
#include <QLibrary>
#endif

#ifdef Q_OS_WIN

namespace {
QString Last_Error_Text()
{
    return Last_Windows_Error_Text();
}
} // namespace

std::expected<Program_Module, QString> Program_Module::Load(const QString& Path)
{
    const QString Native = QDir::toNativeSeparators(QDir::cleanPath(Path));
    HMODULE Loaded = ::LoadLibraryExW(reinterpret_cast<const wchar_t*>(Native.utf16()), nullptr,
                                      LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_APPLICATION_DIR
                                          | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!Loaded)
        return std::unexpected(QStringLiteral("%1: %2").arg(Native, Last_Error_Text()));
    return Program_Module(Loaded, Path);
}

QFunctionPointer Program_Module::Resolve(const char* Symbol) const
{
    return reinterpret_cast<QFunctionPointer>(::GetProcAddress(static_cast<HMODULE>(Handle), Symbol));
}

QString Program_Module::Resolve_Error(const char* Symbol) const
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(Symbol), Last_Error_Text());
}

// GetProcAddress hands out exported data as it does functions.
const void* Program_Module::Resolve_Data(const char* Symbol) const
{
    return reinterpret_cast<const void*>(::GetProcAddress(static_cast<HMODULE>(Handle), Symbol));
}

#else

// A QLibrary object unloads nothing when destroyed: the library loaded here
// stays loaded, and a later QLibrary of the same file finds it again.
std::expected<Program_Module, QString> Program_Module::Load(const QString& Path)
{
    QLibrary Library(Path);
    if (!Library.load())
        return std::unexpected(Library.errorString());
    return Program_Module(nullptr, Path);
}

QFunctionPointer Program_Module::Resolve(const char* Symbol) const { return QLibrary(Path).resolve(Symbol); }

QString Program_Module::Resolve_Error(const char* Symbol) const
{
    QLibrary Library(Path);
    Library.resolve(Symbol);
    return Library.errorString();
}

const void* Program_Module::Resolve_Data(const char* Symbol) const
{
    return reinterpret_cast<const void*>(QLibrary(Path).resolve(Symbol));
}

#endif

std::expected<Program_Module, Module_Failure> Program_Module::Load_Own(const QString& Path, const char* Token)
{
    const QString Native = QDir::toNativeSeparators(QDir::cleanPath(Path));
    if (!QFileInfo::exists(Path))
        return std::unexpected(Module_Failure{Module_Failure::Kind::Missing, Native, {}});
    auto Loaded = Load(Path);
    if (!Loaded)
        return std::unexpected(Module_Failure{Module_Failure::Kind::Not_Loadable, Native, Loaded.error()});
    // A module of an older build may have no token at all; one of another
    // build has another. The token is read, not called: no function of the
    // module runs before it matches.
    const auto* Its_Token = static_cast<const char*>(Loaded->Resolve_Data(Module_Token_Symbol));
    if (!Its_Token || std::strcmp(Its_Token, Token) != 0)
        return std::unexpected(Module_Failure{Module_Failure::Kind::Other_Build, Native, {}});
    return std::move(*Loaded);
}
