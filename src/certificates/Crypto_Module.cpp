#include "certificates/Crypto_Module.h"

#include "platform/Executable_Dir.h"
#include "platform/Program_Module.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <cerrno>

// The build names the module's file (SW_CRYPTO_MODULE_FILE), the folder it
// puts it in (SW_CRYPTO_BUILD_DIR) and the build tree (SW_BUILD_TREE).
#if !defined(SW_CRYPTO_MODULE_FILE) || !defined(SW_CRYPTO_BUILD_DIR) || !defined(SW_BUILD_TREE)
#error "the build must tell where the crypto module is"
#endif

namespace Certificates {

namespace {

struct Loaded {
    const Crypto_Functions* Functions = nullptr;
    QString Error;
};

// Where the module is looked for: beside the executable, as the program
// folder holds it. A program of the build tree (a test, a benchmark) lies
// elsewhere and finds it where the build puts it; a program folder copied
// anywhere else never borrows a module from a build.
QStringList Module_Paths()
{
    const QString Dir = Executable_Dir();
    QStringList Paths{QDir(Dir).filePath(QStringLiteral(SW_CRYPTO_MODULE_FILE))};
    const QString Tree = QFileInfo(QStringLiteral(SW_BUILD_TREE)).canonicalFilePath();
    const QString Own = QFileInfo(Dir).canonicalFilePath();
    if (!Tree.isEmpty() && (Own == Tree || Own.startsWith(Tree + u'/')))
        Paths.append(QDir(QStringLiteral(SW_CRYPTO_BUILD_DIR)).filePath(QStringLiteral(SW_CRYPTO_MODULE_FILE)));
    return Paths;
}

QString Unreadable(const QString& Why)
{
    return QStringLiteral("keys and certificates cannot be read: ") + Why;
}

Loaded Load()
{
    const QStringList Paths = Module_Paths();
    // The first place is the one to name when the module is nowhere.
    for (const QString& Path : Paths) {
        if (!QFileInfo::exists(Path))
            continue;
        // That file and no other of its name; it stays loaded until the
        // process ends.
        const auto Library = Program_Module::Load(Path);
        if (!Library)
            return {nullptr, Unreadable(Library.error())};
        const auto Entry = reinterpret_cast<Crypto_Entry>(Library->Resolve(Crypto_Entry_Name));
        if (!Entry)
            return {nullptr, Unreadable(Library->Resolve_Error(Crypto_Entry_Name))};
        const Crypto_Functions* Functions = Entry();
        if (!Functions || Functions->Version != Crypto_Functions::Current_Version)
            return {nullptr, Unreadable(QDir::toNativeSeparators(Path)
                                        + QStringLiteral(": belongs to another version of the program"))};
        return {Functions, {}};
    }
    return {nullptr, Unreadable(QDir::toNativeSeparators(Paths.constFirst()) + QStringLiteral(": ")
                                + qt_error_string(ENOENT))};
}

std::atomic<bool> Tried{false};

const Loaded& Module()
{
    // Loaded once, whichever thread comes first; the others wait for it.
    static const Loaded Once = Load();
    Tried.store(true, std::memory_order_release);
    return Once;
}

} // namespace

const Crypto_Functions* Crypto() { return Module().Functions; }

QString Crypto_Error() { return Module().Error; }

std::optional<QString> Crypto_Failure()
{
    if (!Tried.load(std::memory_order_acquire) || Module().Functions)
        return std::nullopt;
    return Module().Error;
}

} // namespace Certificates
