#pragma once

#include "foundation/Lang_Strings.h"
#include "project/Par_Gen_File.h"

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

} // namespace Par_Gen
