#include "shell/Name_Rules.h"

#include "foundation/Lang_Strings.h"
#include "shell/Shell_Texts.h"

QString Broken_Name_Rule(const Lang_Table& Lang, const QString& Refused_Text, const QString& Typed)
{
    namespace Text = Main_Window_Text;
    const QString Base = Refused_Text.trimmed();
    if (Typed.isEmpty())
        return {};
    const QList<uint> Code_Points = Typed.toUcs4();
    for (const uint C : Code_Points) {
        if (C == '/' || C == '\\')
            return Lang[Text::Name_Character].arg(Base, QString::fromUcs4(reinterpret_cast<const char32_t*>(&C), 1));
        const QChar::Category Kind = QChar::category(C);
        if (C < 0x20 || C == 0x7F || Kind == QChar::Other_Control || Kind == QChar::Other_Format
            || Kind == QChar::Other_Surrogate || QChar::isNonCharacter(C))
            return Lang[Text::Name_Invisible].arg(
                Base, QStringLiteral("U+") + QString::number(C, 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    if (Typed.startsWith(QLatin1Char('.')))
        return Lang[Text::Name_Dot].arg(Base);
    if (QChar::isSpace(Code_Points.front()) || QChar::isSpace(Code_Points.back()))
        return Lang[Text::Name_Blank].arg(Base);
    const qsizetype Bytes = Typed.normalized(QString::NormalizationForm_C).toUtf8().size();
    if (Bytes > Longest_Name_Bytes)
        return Lang[Text::Name_Length].arg(Base).arg(Bytes).arg(Longest_Name_Bytes);
    return {};
}
