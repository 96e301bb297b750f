#pragma once

#include <QString>
#include <QtGlobal>

#include <expected>
#include <utility>

// Every module of the program exports the build's token (a text, see
// app/Build_Token.cmake) under this name; the executable compares it with its
// own before it calls anything of the module.
inline constexpr char Module_Token_Symbol[] = "sw40610_build_token";
// In one source of a module: exports Token under that name.
#define SW_EXPORT_MODULE_TOKEN(Token) extern "C" Q_DECL_EXPORT const char sw40610_build_token[] = Token

// Why one of the program's own modules cannot be used.
struct Module_Failure {
    enum class Kind {
        Missing,       // no file of that name beside the executable
        Not_Loadable,  // the system's loader refused it (Reason says why)
        Other_Build,   // it comes from another build of the program, or is none of its modules
    };
    Kind What = Kind::Missing;
    QString Path;    // the module's file, with the system's separators
    QString Reason;  // the loader's reason (Not_Loadable)
};

// A library the program loads at run time by its full path: one of its own
// modules beside the executable, or a system library in a known folder. It is
// never looked for on the search path or in the current folder, and what it
// needs itself is taken from its own folder, the program's and the system's
// (on Windows: LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR, _APPLICATION_DIR, _SYSTEM32),
// so a library of the same name planted in the current folder is never
// mapped. A loaded module stays loaded until the process ends.
class Program_Module {
public:
    static std::expected<Program_Module, QString> Load(const QString& Path);
    // One of the program's own modules: loaded only when its file is there,
    // and handed out only when the token it exports is Token (the
    // executable's). Nothing of the module is called before that.
    static std::expected<Program_Module, Module_Failure> Load_Own(const QString& Path, const char* Token);
    // The exported function Symbol; null when the module has none.
    QFunctionPointer Resolve(const char* Symbol) const;
    // Why the last Resolve found nothing.
    QString Resolve_Error(const char* Symbol) const;

private:
    Program_Module(void* Loaded, QString File) : Handle(Loaded), Path(std::move(File)) {}
    // The address of the exported data Symbol; null when the module has none.
    const void* Resolve_Data(const char* Symbol) const;
    void* Handle = nullptr;  // Windows: the module's handle
    QString Path;
};
