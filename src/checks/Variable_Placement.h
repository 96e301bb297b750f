#pragma once

#include "foundation/Data_Array.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class Lang_Table;

// Where the enabled variables lie on the gateway's internal data array, and
// what is wrong with that placement. Each row is given as the twelve texts of
// the variables file in attribute order (Enable, Name, Type, Length, ReadOnly,
// Position, StartBit, Conversion, MultiplicationFactor, Swap, SwapWord, Mnemonic).
namespace Variable_Placement {

constexpr int Array_Size = Device_Data_Array_Size;

enum class Variable_Type { Int, Float, Digital };

struct Placed_Variable {
    int Row = 0;  // table row, from 1
    QString Name;
    Variable_Type Type = Variable_Type::Int;
    qint64 First = 0;  // first and last byte; the last may lie past the array
    qint64 Last = 0;
    int Bit = -1;  // the bit of a digital variable, else -1
};

enum class Finding_Kind {
    Byte_Overlap,       // two variables share bytes First..Last
    Bit_Overlap,        // two digital variables use bit Bit of byte First
    Past_End,           // bytes First..Last of one variable lie past the last byte
    Float_Length,       // a Float of Length bytes (First..Last) instead of 4
    Start_Bit_Ignored,  // a Start Bit on a variable that is not digital (bytes First..Last)
    Bad_Bit,            // a digital variable's Start Bit (Bit) is no bit of a byte
};

struct Finding {
    Finding_Kind Kind;
    QList<int> Rows;  // the rows involved, ascending
    qint64 First = 0;
    qint64 Last = 0;
    int Bit = -1;
    qint64 Length = 0;
    bool operator==(const Finding&) const = default;
};

struct Byte_Range {
    int First = 0;
    int Last = 0;
    bool operator==(const Byte_Range&) const = default;
};

struct Analysis {
    QList<Placed_Variable> Variables;
    QList<Finding> Findings;
    QList<Byte_Range> Free;
    // Per byte of the array: indexes into Variables of those on it, and
    // whether two of them collide there.
    std::vector<QList<int>> Users = std::vector<QList<int>>(Array_Size);
    std::vector<bool> Collides = std::vector<bool>(Array_Size, false);

    // The first row a finding involves, or 0 without findings.
    int First_Row_Involved() const;
};

// The rows the compiler takes: from the first row up to the first one whose
// Name is blank, those whose Enable is exactly "Y". A row whose Position, or
// Length for a byte variable, is not a number, or whose Position is negative,
// is not placed: the validation refuses it before anything is saved.
Analysis Analyse(const QList<QStringList>& Rows);

// One line of text per finding, for the question before saving and the map's description.
QString Finding_Text(const Finding& Item, const Lang_Table& Lang);
QStringList Finding_Texts(const Analysis& Result, const Lang_Table& Lang);
// "Free bytes: 0 to 9, 20 to 1437", or the text that none are free.
QString Free_Text(const Analysis& Result, const Lang_Table& Lang);
// "byte 5" or "bytes 5 to 8".
QString Bytes_Text(qint64 First, qint64 Last, const Lang_Table& Lang);

} // namespace Variable_Placement
