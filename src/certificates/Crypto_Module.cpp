#include "certificates/Crypto_Module.h"

#include "Build_Token.h"
#include "certificates/Certificate_Texts.h"
#include "platform/Executable_Dir.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>

// The build names the module's file (SW_CRYPTO_MODULE_FILE), the folder it
// puts it in (SW_CRYPTO_BUILD_DIR) and the build tree (SW_BUILD_TREE).
#if !defined(SW_CRYPTO_MODULE_FILE) || !defined(SW_CRYPTO_BUILD_DIR) || !defined(SW_BUILD_TREE)
#error "the build must tell where the crypto module is"
#endif

namespace Certificates {

namespace {

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

std::expected<const Crypto_Functions*, Module_Failure> Load()
{
    const QStringList Paths = Module_Paths();
    // The first place is the one to name when the module is nowhere.
    for (const QString& Path : Paths) {
        // That file and no other of its name, and only of this build; it
        // stays loaded until the process ends.
        const auto Library = Program_Module::Load_Own(Path, SW_BUILD_TOKEN);
        if (!Library && Library.error().What == Module_Failure::Kind::Missing)
            continue;
        if (!Library)
            return std::unexpected(Library.error());
        const auto Entry =
            reinterpret_cast<decltype(&sw40610_crypto_functions)>(Library->Resolve("sw40610_crypto_functions"));
        if (const Crypto_Functions* Functions = Entry ? Entry() : nullptr)
            return Functions;
        return std::unexpected(
            Module_Failure{Module_Failure::Kind::Other_Build, QDir::toNativeSeparators(QDir::cleanPath(Path)), {}});
    }
    return std::unexpected(Module_Failure{Module_Failure::Kind::Missing,
                                          QDir::toNativeSeparators(QDir::cleanPath(Paths.constFirst())), {}});
}

std::atomic<bool> Tried{false};

const std::expected<const Crypto_Functions*, Module_Failure>& Loaded_Once()
{
    // Loaded once, whichever thread comes first; the others wait for it.
    static const std::expected<const Crypto_Functions*, Module_Failure> Once = Load();
    Tried.store(true, std::memory_order_release);
    return Once;
}

} // namespace

std::expected<const Crypto_Functions*, Module_Failure> Crypto() { return Loaded_Once(); }

std::optional<Module_Failure> Crypto_Failure()
{
    if (!Tried.load(std::memory_order_acquire) || Loaded_Once())
        return std::nullopt;
    return Loaded_Once().error();
}

QString Module_Failure_Text(const Module_Failure& Failure, const Lang_Table& Lang)
{
    switch (Failure.What) {
    case Module_Failure::Kind::Missing: return Lang[Text_Slot::Module_Missing].arg(Failure.Path);
    case Module_Failure::Kind::Not_Loadable: return Lang[Text_Slot::Module_Not_Loadable].arg(Failure.Path, Failure.Reason);
    case Module_Failure::Kind::Other_Build: break;
    }
    return Lang[Text_Slot::Module_Other_Build].arg(Failure.Path);
}

QString Crypto_Missing_Text(const Module_Failure& Failure, const Lang_Table& Lang)
{
    return Lang[Text_Slot::Crypto_Missing].arg(Module_Failure_Text(Failure, Lang));
}

} // namespace Certificates
