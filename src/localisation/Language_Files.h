#pragma once

#include <QString>
#include <QStringList>

// The language files the options dialog offers and their flag pictures.

// File names (with ".lng") of the plain, writable language files in Dir,
// sorted ignoring letter case. Directories, links and files without write
// permission for their owner (the read-only ones) are left out; hidden files
// are listed.
QStringList List_Language_Files(const QString& Dir);

// The pictures to try for a language, best first: its own "<name>.bmp", then
// "DefaultFlag.bmp"; only those that exist.
QStringList Flag_Picture_Candidates(const QString& Dir, const QString& Language);

// Pages of six entries: (Count + 5) / 6, so no files give no pages.
constexpr int Languages_Per_Page = 6;
constexpr int Language_Page_Count(qsizetype Count) { return int((Count + Languages_Per_Page - 1) / Languages_Per_Page); }
