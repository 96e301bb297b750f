#pragma once

#include <QString>

class Lang_Table;

// Why a configuration name that was refused cannot be used, for the user:
// the character, the dot or blank at its ends, or its length. Refused_Text
// is the refusal as shown so far ("Error! Name project is not valid"), which
// the rule follows. Empty when the name breaks none of these rules (the file
// system refused the folder for a reason of its own).
QString Broken_Name_Rule(const Lang_Table& Lang, const QString& Refused_Text, const QString& Typed);

// The longest name, in UTF-8 bytes, a folder takes on the file systems in use.
inline constexpr int Longest_Name_Bytes = 255;
