#pragma once

#include <QString>
#include <QtGlobal>

#include <expected>
#include <utility>

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
    // The exported function Symbol; null when the module has none.
    QFunctionPointer Resolve(const char* Symbol) const;
    // Why the last Resolve found nothing.
    QString Resolve_Error(const char* Symbol) const;

private:
    Program_Module(void* Loaded, QString File) : Handle(Loaded), Path(std::move(File)) {}
    void* Handle = nullptr;  // Windows: the module's handle
    QString Path;
};
