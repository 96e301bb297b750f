#pragma once

#include "foundation/Lang_Strings.h"
#include "project/Par_Gen_File.h"

#include <QList>
#include <QString>

#include <optional>

namespace Par_Gen {

// The message of the first value that may not be saved, in the fixed order
// of the checks; nothing when every value is acceptable.
std::optional<QString> Check(const Values& Data, const Lang_Table& Lang);
// The same, with the element whose value the message is about.
struct Problem {
    QString Text;
    int Element = 0;
};
std::optional<Problem> Find_Problem(const Values& Data, const Lang_Table& Lang);
// Every value that may not be saved, in the same order and with the same
// messages; the first of them is the one Find_Problem gives. The diagnostic
// address is left unchecked while the output bytes are wrong.
QList<Problem> Find_Problems(const Values& Data, const Lang_Table& Lang);

} // namespace Par_Gen
