#pragma once

#include <QString>
#include <QStringList>

// The table of numbered texts every visible text and message comes from.
class Lang_Table {
public:
    static constexpr int Default_Count = 1600;

    // The text of slot I; a slot outside the table reads as empty.
    QString operator[](int I) const { return I >= 0 && I < Strings.size() ? Strings[I] : QString(); }
    void Set(int I, const QString& Text);
    int Count() const { return Slot_Count; }
    bool Is_Empty() const { return Strings.isEmpty(); }

    void Clear();
    // Empties the table, then fills all slots with the English defaults.
    void Create_Default_Strings();

private:
    QStringList Strings;
    int Slot_Count = 0;
};

// Applies the text lines of a language file to the table; slots the file does
// not mention keep their text. A file that cannot be read changes nothing.
void Load_Lang_File(Lang_Table& Table, const QString& Path);
// Decodes a language file: UTF-8 or UTF-16 by byte-order mark, else Windows-1252.
QString Decode_Lang_File(const QByteArray& Bytes);
// Applies one line; returns whether it set a slot.
bool Apply_Lang_Line(Lang_Table& Table, const QString& Line);
// The line that stores Text in slot I, pilcrow-quoted when the text has
// leading or trailing blanks.
QString Make_Lang_Line(int I, const QString& Text);
