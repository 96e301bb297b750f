#pragma once

#include <QString>

// Qt's own texts (the Yes and No of a message box, the buttons of the save
// dialog) follow the program's language: the language's name picks Qt's
// translation, which the Debian package qt6-translations-l10n installs.

// Qt's code for a shipped language ("Deutsch" gives "de"); empty for English
// and for a language Qt is not asked to follow.
QString Qt_Language_Code(const QString& Language_Name);

// Puts Qt's translation for Language_Name in force, in place of the one
// before; English, an unknown language or a missing translation file leave Qt
// in English. Returns whether a translation is in force.
bool Apply_Qt_Translation(const QString& Language_Name);
