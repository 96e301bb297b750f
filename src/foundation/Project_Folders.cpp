#include "foundation/Project_Folders.h"

#include "foundation/Foundation_Texts.h"
#include "foundation/Text_Rules.h"
#include "foundation/Workspace.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace {

// The open dialog preselects without regard to case and most other file
// systems would take such names for one folder, so "Plant" and "PLANT" (or
// two spellings of one accented letter) are one configuration name.
bool Clashes_With_Existing(const QString& Projects_Dir, const QString& Name, const QString& Except)
{
    const QStringList Existing =
        QDir(Projects_Dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString& Other : Existing)
        if (Other != Except
            && QString::compare(Other.normalized(QString::NormalizationForm_C), Name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

New_Project_Result Check_New_Project_Name(const QString& Projects_Dir, const QString& Typed, QString& Name,
                                          const QString& Except)
{
    Name.clear();
    if (Typed.isEmpty())
        return New_Project_Result::Empty_Name;
    // A name that would lead out of Projects_Dir or below one of its
    // directories ("..", "a/b"), or that shows something other than what it
    // holds, is refused as not creatable, whether or not such a path exists.
    if (!Workspace::Is_Acceptable_New_Project_Name(Typed))
        return New_Project_Result::Not_Created;
    // One spelling on disk for what looks the same: composed characters.
    const QString Composed = Typed.normalized(QString::NormalizationForm_C);
    const bool Self = !Except.isEmpty() && QString::compare(Composed, Except, Qt::CaseInsensitive) == 0;
    if ((!Self && QFileInfo(Workspace::Join(Projects_Dir, Composed)).isDir())
        || Clashes_With_Existing(Projects_Dir, Composed, Except))
        return New_Project_Result::Already_Exists;
    Name = Composed;
    return New_Project_Result::Created;
}

New_Project_Result Create_Project(Workspace& Space, const QString& Typed)
{
    QString Name;
    if (const auto Checked = Check_New_Project_Name(Space.Projects_Dir, Typed, Name);
        Checked != New_Project_Result::Created)
        return Checked;
    const QString Dir = Workspace::Join(Space.Projects_Dir, Name);
    if (!QDir().mkdir(Dir))
        return New_Project_Result::Not_Created;
    QDir().mkpath(Workspace::Join(Dir, QStringLiteral("bin")));
    Space.Activate_Project(Name);
    return New_Project_Result::Created;
}

int New_Project_Message_Slot(New_Project_Result Result)
{
    switch (Result) {
    case New_Project_Result::Empty_Name: return Foundation_Text::Name_Empty;
    case New_Project_Result::Already_Exists: return Foundation_Text::Name_Exists;
    case New_Project_Result::Not_Created: return Foundation_Text::Name_Not_Usable;
    case New_Project_Result::Created: break;
    }
    return -1;
}

QStringList Load_Existing_Configuration(const QString& Projects_Dir)
{
    QStringList Names;
    // A linked folder would have the program write wherever the link points.
    QDirIterator It(Projects_Dir, QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (It.hasNext()) {
        It.next();
        Names.append(It.fileName());
    }
    // As a person reads a list: case ignored, "Plant 9" before "Plant 10";
    // names equal that way keep a fixed order.
    // The "C" locale compares code points only; a person reads by some language.
    const QLocale Reading = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator Order(Reading);
    Order.setCaseSensitivity(Qt::CaseInsensitive);
    Order.setNumericMode(true);
    std::sort(Names.begin(), Names.end(), [&Order](const QString& A, const QString& B) {
        const int By_Reader = Order.compare(A, B);
        return By_Reader != 0 ? By_Reader < 0 : A < B;
    });
    return Names;
}

int Search_Open_Conf(const QStringList& Names, const QString& Name)
{
    const QString Wanted = Ascii_Upper(Name);
    for (int I = 0; I < Names.size(); ++I)
        if (Ascii_Upper(Names[I]) == Wanted)
            return I;
    return -1;
}

QString Active_Configuration_Name(const Workspace& Space)
{
    if (!Space.Is_Project_Active())
        return {};
    const QString Prefix = Space.Projects_Dir + QLatin1Char('/');
    return Space.Project_Dir.startsWith(Prefix) ? Space.Project_Dir.mid(Prefix.size()) : QString();
}
