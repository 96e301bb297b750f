#include "localisation/Ui_Qt_Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <utility>

namespace {
constexpr char Translator_Name[] = "Qt_Translation";
} // namespace

QString Qt_Language_Code(const QString& Language_Name)
{
    static constexpr std::array<std::pair<const char16_t*, const char*>, 4> Codes{{
        {u"Deutsch", "de"},
        {u"Italiano", "it"},
        {u"Fran\u00E7ais", "fr"},
        {u"Espa\u00F1ol", "es"},
    }};
    for (const auto& [Name, Code] : Codes)
        if (Language_Name == QString::fromUtf16(Name))
            return QString::fromLatin1(Code);
    return {};
}

bool Apply_Qt_Translation(const QString& Language_Name)
{
    QCoreApplication* App = QCoreApplication::instance();
    if (!App)
        return false;
    // The translator lives as a child of the application, found again by name.
    if (auto* Previous = App->findChild<QTranslator*>(QLatin1String(Translator_Name), Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(Previous);
        delete Previous;
    }
    const QString Code = Qt_Language_Code(Language_Name);
    if (Code.isEmpty())
        return false;
    auto* Translator = new QTranslator(App);
    Translator->setObjectName(QLatin1String(Translator_Name));
    // Where Qt was installed (a Linux system's Qt); a Windows program folder
    // carries them in translations/ beside the program.
    const QStringList Dirs{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                           QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    const QString File = QStringLiteral("qtbase_") + Code;
    if (std::none_of(Dirs.begin(), Dirs.end(), [&](const QString& Dir) { return Translator->load(File, Dir); })) {
        delete Translator;
        return false;
    }
    return QCoreApplication::installTranslator(Translator);
}
