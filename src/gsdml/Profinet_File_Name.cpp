#include "gsdml/Profinet_File_Name.h"

QString Profinet_File_Name_Fix2(const QDate& Day)
{
    return QStringLiteral("-%1%2%3.xml")
        .arg(Day.year(), 4, 10, QChar(u'0'))
        .arg(Day.month(), 2, 10, QChar(u'0'))
        .arg(Day.day(), 2, 10, QChar(u'0'));
}

QString Compose_Profinet_File_Name(const QString& Fix1, const QString& User, const QString& Fix2)
{
    if (User.trimmed().isEmpty())
        return Fix1 + Fix2;
    if (User.startsWith(u'_'))
        return Fix1 + User + Fix2;
    return Fix1 + u'_' + User + Fix2;
}
