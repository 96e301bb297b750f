#include "platform/Windows_Path.h"

#include <QStringList>

namespace {

bool Reserved_Device_Name(QString Name)
{
    // The part before the first dot counts, trailing blanks dropped:
    // "aux.xml", "con .txt" and "COM1" name devices alike.
    const qsizetype Dot = Name.indexOf(u'.');
    if (Dot >= 0)
        Name.truncate(Dot);
    while (Name.endsWith(u' '))
        Name.chop(1);
    Name = Name.toUpper();
    static const QStringList Names{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                   QStringLiteral("NUL"), QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    if (Names.contains(Name))
        return true;
    if (Name.size() == 4 && (Name.startsWith(QLatin1String("COM")) || Name.startsWith(QLatin1String("LPT")))) {
        const QChar Digit = Name.at(3);
        // COM0 to COM9, and the superscripts ¹ ² ³ Windows also accepts.
        return (Digit >= u'0' && Digit <= u'9') || Digit == QChar(0x00B9) || Digit == QChar(0x00B2)
               || Digit == QChar(0x00B3);
    }
    return false;
}

} // namespace

Windows_Path_Kind Classify_Windows_Path(const QString& Path)
{
    QString Native = Path;
    Native.replace(u'/', u'\\');
    if (Native.startsWith(QLatin1String("\\\\?\\")) || Native.startsWith(QLatin1String("\\??\\")))
        return Windows_Path_Kind::Plain;
    if (Native.startsWith(QLatin1String("\\\\.\\"))) {
        if (Native.mid(4).startsWith(QLatin1String("pipe\\"), Qt::CaseInsensitive))
            return Windows_Path_Kind::Named_Pipe;
        return Windows_Path_Kind::Device;
    }
    const qsizetype Slash = Native.lastIndexOf(u'\\');
    QString Name = Native.mid(Slash + 1);
    // "C:NUL" names the device too.
    if (Slash < 0 && Name.size() >= 2 && Name.at(1) == u':')
        Name = Name.mid(2);
    if (Name.isEmpty() || Name == QLatin1String(".") || Name == QLatin1String(".."))
        return Windows_Path_Kind::Plain;
    if (Name.endsWith(u'.') || Name.endsWith(u' '))
        return Windows_Path_Kind::Trailing_Dot;
    if (Reserved_Device_Name(Name))
        return Windows_Path_Kind::Device;
    return Windows_Path_Kind::Plain;
}

std::optional<QString> Windows_Path_Problem(const QString& Path)
{
    switch (Classify_Windows_Path(Path)) {
    case Windows_Path_Kind::Plain:
        return std::nullopt;
    case Windows_Path_Kind::Device:
        return QStringLiteral("not a regular file but a device");
    case Windows_Path_Kind::Named_Pipe:
        return QStringLiteral("not a regular file but a named pipe");
    case Windows_Path_Kind::Trailing_Dot:
        return QStringLiteral("the name ends with a dot or a blank, which Windows drops");
    }
    return std::nullopt;
}
