#pragma once

#include "foundation/Identity.h"
#include "foundation/Lang_Strings.h"
#include "platform/File_Write.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>

// The program's folders: the executable's and the three fixed ones below it.
struct Program_Folders {
    QString Exe_Dir; // no trailing separator
    QString Master_Dir;
    QString Projects_Dir;
    QString Language_Dir;
};

// The names of a configuration's three project files in its folder, named
// here once for every part that opens, copies or compares a configuration.
namespace Project_File_Name {
inline const QString ParGen = QStringLiteral("ParGen.xml");
inline const QString IEC61850_Variables = QStringLiteral("IEC61850_Variables.xml");
inline const QString TLS_Known_Cert = QStringLiteral("TLS_Known_Cert.xml");
// In the order they are read and checked.
inline const QStringList All = {ParGen, IEC61850_Variables, TLS_Known_Cert};
} // namespace Project_File_Name

// The active configuration and its file paths; empty = none.
struct Active_Project {
    QString Project_Name;
    QString Project_Dir;
    QString File_ParGen;
    QString File_IEC61850_Variables;
    QString File_TLS_Known_Cert;
    QString File_ModbusM_SetAccess;
    QString File_ModbusTCPM_SetAccess;

    bool Is_Project_Active() const { return !Project_Dir.isEmpty(); }
};

// What the windows show of the program's identity.
struct Shown_Identity {
    QString Window_Title;
    QString SW_Code;
    QString SW_Description;
};

// The user's options and last choices.
struct User_Options {
    QString Last_IP_Address;
    int Update_Option_Index = 0;
    bool Update_Read_Back = true;
    QString Language_Name;
    bool Enable_Internet = false;
    bool Enable_Update = false;
    bool Enable_Jump_Field_Tables = false;
    bool Double_Click_Auto_Size = false;
    // The network interface last searched for devices.
    QString Last_Interface;

    // The version-check timer runs exactly when both internet flags are set.
    bool Update_Timer_Wanted() const { return Enable_Internet && Enable_Update; }
};

// The texts of the current language.
struct String_Table {
    Lang_Table Lang_Strings;

    QString Str(int Slot) const { return Lang_Strings[Slot]; }
};

// The one-row copy buffer the table editors share: the row's entries and,
// for a table with check boxes, which entries were boxes.
struct Copied_Row {
    QStringList Row_Clipboard;
    QList<bool> Row_Clipboard_Checks;
};

// The process-wide state of the program, made of the parts above so that a
// function can take the one part it works on. The application owns one;
// every test makes its own, rooted in a temporary directory.
class Workspace : public Program_Folders,
                  public Active_Project,
                  public Shown_Identity,
                  public User_Options,
                  public String_Table,
                  public Copied_Row {
public:
    // Exe_Dir is the folder of the running executable (no trailing separator).
    explicit Workspace(const QString& Exe_Dir);

    // Start-up steps, in the order the main window runs them.
    void Create_Directories();
    void Read_Settings();
    void Set_Identity();
    // Builds the table of Language_Name, which becomes "English" when that
    // language has no file.
    void Init_Language();
    // Makes the remembered configuration active when its directory exists,
    // else none; returns whether one is active.
    bool Restore_Project();
    void Set_Files();

    // Writes the settings file whole; the previous file stays on failure.
    std::expected<void, Write_Error> Save_Setting() const;
    // What the user is told about a failed save: the file and the system's
    // reason, or the refusal to write through a link.
    QString Write_Failure_Text(const Write_Error& Error) const;

    // Makes Name the active configuration (empty: none) and recomputes the paths.
    void Activate_Project(const QString& Name);

    QString Settings_File() const;

    static QString Join(const QString& Dir, const QString& Name);
    // A configuration name names one directory directly below Projects_Dir:
    // no separator, no control character, not "." or "..".
    static bool Is_Safe_Project_Name(const QString& Name);
    // A name a new configuration may take: safe, and nothing that hides or
    // disguises what it shows (format and bidirectional controls,
    // non-characters, a leading dot, blanks at either end).
    static bool Is_Acceptable_New_Project_Name(const QString& Name);
    // A file name inside one folder: no separator, not "." or "..", not empty.
    static bool Is_Plain_File_Name(const QString& Name);
};

// The string table of language Name from the files in Language_Dir: the
// built-in texts, then the language's file, or English's when Name has none
// (or is no plain file name). Returns the language whose texts are in force.
QString Load_Language(Lang_Table& Table, const QString& Language_Dir, const QString& Name);
