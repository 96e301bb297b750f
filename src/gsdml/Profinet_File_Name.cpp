#include "gsdml/Profinet_File_Name.h"

#include "foundation/Text_Rules.h"

QString Profinet_File_Name_Fix2(const QDate& Day)
{
    return QStringLiteral("-%1%2%3.xml")
        .arg(Day.year(), 4, 10, QChar(u'0'))
        .arg(Day.month(), 2, 10, QChar(u'0'))
        .arg(Day.day(), 2, 10, QChar(u'0'));
}

QString Compose_Profinet_File_Name(const QString& Fix1, const QString& User, const QString& Fix2)
{
    if (Trimmed(User).isEmpty())
        return Fix1 + Fix2;
    if (User.startsWith(u'_'))
        return Fix1 + User + Fix2;
    return Fix1 + u'_' + User + Fix2;
}

qsizetype First_Unusable_File_Name_Character(const QString& User)
{
    static const QString Forbidden = QStringLiteral("/\\<>:\"|?*");
    for (qsizetype I = 0; I < User.size(); ++I) {
        const QChar C = User[I];
        if (Forbidden.contains(C) || C.category() == QChar::Other_Control || C.category() == QChar::Other_Format
            || C == QChar::LineSeparator || C == QChar::ParagraphSeparator)
            return I;
    }
    return -1;
}
