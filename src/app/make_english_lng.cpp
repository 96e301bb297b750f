// Writes the translator's template: one line for every slot whose English
// default is not the single blank.
#include "foundation/Lang_Strings.h"
#include "platform/File_Write.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fputs("usage: sw40610_make_english_lng OUTPUT\n", stderr);
        return 2;
    }
    Lang_Table Table;
    Table.Create_Default_Strings();
    QByteArray Out("\xEF\xBB\xBF");
    Out += "English language file of the SW40610 configurator.\r\n";
    Out += "Each line STR<slot> = <text> replaces one text; a text between pilcrows keeps its blanks.\r\n\r\n";
    for (int I = 0; I < Table.Count(); ++I)
        if (Table[I] != QStringLiteral(" "))
            Out += Make_Lang_Line(I, Table[I]).toUtf8() + "\r\n";
    if (const auto Written = Write_File_Atomic(QString::fromLocal8Bit(argv[1]), Out); !Written) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(Written.error().System_Text));
        return 1;
    }
    return 0;
}
