#include "foundation/Workspace.h"

#include "foundation/Foundation_Texts.h"
#include "foundation/Settings_File.h"

#include <QDir>
#include <QFileInfo>

Workspace::Workspace(const QString& Exe_Dir_)
{
    Exe_Dir = Exe_Dir_;
    Master_Dir = Join(Exe_Dir, QStringLiteral("MASTER"));
    Projects_Dir = Join(Exe_Dir, QStringLiteral("PROJECTS"));
    Language_Dir = Join(Exe_Dir, QStringLiteral("LANGUAGE"));
    Last_IP_Address = Identity::Default_IP_Address;
    Language_Name = QStringLiteral("English");
}

// Paths are kept with '/' on every system (Qt takes it on Windows too), so that
// one path never mixes both separators; they are shown with the system's own
// separator (QDir::toNativeSeparators) where a person reads them.
QString Workspace::Join(const QString& Dir, const QString& Name) { return Dir + QLatin1Char('/') + Name; }

QString Workspace::Settings_File() const { return Join(Exe_Dir, QStringLiteral("Tavorix.xml")); }

void Workspace::Create_Directories()
{
    // A directory that cannot be created is not reported; later file work in it fails in its own place.
    for (const QString& Dir : {Master_Dir, Projects_Dir, Language_Dir})
        if (!QFileInfo(Dir).isDir())
            QDir().mkdir(Dir);
}

void Workspace::Read_Settings()
{
    const ::Settings_File::Values Stored = ::Settings_File::Read(Settings_File());
    Project_Name = Stored.Project_Name;
    Project_Dir.clear();
    Last_IP_Address = Stored.Last_IP_Address;
    Language_Name = Stored.Language_Name;
    Enable_Internet = Stored.Enable_Internet;
    Enable_Update = Stored.Enable_Update;
    Enable_Jump_Field_Tables = Stored.Enable_Jump_Field_Tables;
    Double_Click_Auto_Size = Stored.Double_Click_Auto_Size;
    Last_Interface = Stored.Last_Interface;
}

void Workspace::Set_Identity()
{
    Window_Title = Identity::Window_Title;
    SW_Code = Identity::SW_Code;
    SW_Description = Identity::SW_Description;
}

void Workspace::Init_Language() { Language_Name = Load_Language(Lang_Strings, Language_Dir, Language_Name); }

QString Load_Language(Lang_Table& Table, const QString& Language_Dir, const QString& Name)
{
    Table.Create_Default_Strings();
    // A hand-edited name with a separator or ".." would read a file outside
    // Language_Dir; it falls back like a missing language.
    const QString File = Workspace::Join(Language_Dir, Name + QStringLiteral(".lng"));
    if (Workspace::Is_Plain_File_Name(Name) && QFileInfo(File).isFile()) {
        Load_Lang_File(Table, File);
        return Name;
    }
    const QString English = Workspace::Join(Language_Dir, QStringLiteral("English.lng"));
    if (QFileInfo(English).isFile())
        Load_Lang_File(Table, English);
    return QStringLiteral("English");
}

bool Workspace::Is_Safe_Project_Name(const QString& Name)
{
    if (Name == QLatin1String(".") || Name == QLatin1String(".."))
        return false;
    for (const QChar C : Name)
        if (C == QLatin1Char('/') || C == QLatin1Char('\\') || C.unicode() < 0x20 || C.unicode() == 0x7F)
            return false;
    return true;
}

bool Workspace::Is_Plain_File_Name(const QString& Name)
{
    return !Name.isEmpty() && Name != QLatin1String(".") && Name != QLatin1String("..")
           && !Name.contains(QLatin1Char('/')) && !Name.contains(QLatin1Char('\\'))
           && !Name.contains(QChar(0));
}

bool Workspace::Is_Acceptable_New_Project_Name(const QString& Name)
{
    if (Name.isEmpty() || !Is_Safe_Project_Name(Name) || Name.startsWith(QLatin1Char('.')))
        return false;
    const QList<uint> Code_Points = Name.toUcs4();
    if (QChar::isSpace(Code_Points.front()) || QChar::isSpace(Code_Points.back()))
        return false;
    for (const uint C : Code_Points) {
        // Cf holds the bidirectional controls and the invisible ones such as
        // U+200B; Cs a lone surrogate half, which names no character.
        const QChar::Category Kind = QChar::category(C);
        if (Kind == QChar::Other_Control || Kind == QChar::Other_Format || Kind == QChar::Other_Surrogate
            || QChar::isNonCharacter(C))
            return false;
    }
    return true;
}

bool Workspace::Restore_Project()
{
    // A hand-edited settings file may name a path outside Projects_Dir; the
    // editors would then write their files there, so such a name is dropped.
    // A configuration folder that is a link would have the program write
    // wherever it points; it is not restored, as it is not listed.
    const QFileInfo Dir(Join(Projects_Dir, Project_Name));
    const bool Exists = !Project_Name.isEmpty() && Is_Safe_Project_Name(Project_Name) && Dir.isDir()
                        && !Dir.isSymLink();
    Activate_Project(Exists ? Project_Name : QString());
    return Exists;
}

void Workspace::Activate_Project(const QString& Name)
{
    Project_Name = Name;
    Project_Dir = Name.isEmpty() ? QString() : Join(Projects_Dir, Name);
    Set_Files();
}

void Workspace::Set_Files()
{
    File_ParGen = Join(Project_Dir, Project_File_Name::ParGen);
    File_IEC61850_Variables = Join(Project_Dir, Project_File_Name::IEC61850_Variables);
    File_TLS_Known_Cert = Join(Project_Dir, Project_File_Name::TLS_Known_Cert);
    File_ModbusM_SetAccess = Join(Project_Dir, QStringLiteral("ModbusM_SetAccess.xml"));
    File_ModbusTCPM_SetAccess = Join(Project_Dir, QStringLiteral("ModbusTCPM_SetAccess.xml"));
}

QString Workspace::Write_Failure_Text(const Write_Error& Error) const
{
    const QString Path = QDir::toNativeSeparators(Error.Path);
    if (Error.Refused_Link())
        return Str(Foundation_Text::Refused_Link).arg(Path);
    return Path + QStringLiteral(": ") + Error.System_Text;
}

std::expected<void, Write_Error> Workspace::Save_Setting() const
{
    ::Settings_File::Values Data;
    Data.Project_Name = Project_Name;
    Data.Last_IP_Address = Last_IP_Address;
    Data.Language_Name = Language_Name;
    Data.Enable_Internet = Enable_Internet;
    Data.Enable_Update = Enable_Update;
    Data.Enable_Jump_Field_Tables = Enable_Jump_Field_Tables;
    Data.Double_Click_Auto_Size = Double_Click_Auto_Size;
    Data.Last_Interface = Last_Interface;
    return ::Settings_File::Save(Settings_File(), Data);
}
