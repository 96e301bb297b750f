#include "platform/Program_Module.h"

#include <QDir>

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
    return Program_Module(Loaded);
}

QFunctionPointer Program_Module::Resolve(const char* Symbol) const
{
    return reinterpret_cast<QFunctionPointer>(::GetProcAddress(static_cast<HMODULE>(Handle), Symbol));
}

QString Program_Module::Resolve_Error(const char* Symbol) const
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(Symbol), Last_Error_Text());
}

#else

std::expected<Program_Module, QString> Program_Module::Load(const QString& Path)
{
    // Deliberately never deleted: QLibrary unloads nothing when destroyed,
    // but its object keeps the error text for Resolve_Error.
    auto* Library = new QLibrary(Path);
    if (!Library->load()) {
        const QString Error = Library->errorString();
        delete Library;
        return std::unexpected(Error);
    }
    return Program_Module(Library);
}

QFunctionPointer Program_Module::Resolve(const char* Symbol) const
{
    return static_cast<QLibrary*>(Handle)->resolve(Symbol);
}

QString Program_Module::Resolve_Error(const char* Symbol) const
{
    Q_UNUSED(Symbol);
    return static_cast<QLibrary*>(Handle)->errorString();
}

#endif
