#pragma once

// The string-table slots of the command line's texts, named once.
namespace Cli_Text {

constexpr int Wrote = 1140;
constexpr int Not_Written = 1141;

// The count of findings, by how many errors and warnings there are.
constexpr int Summary = 1142;              // "%1 errors, %2 warnings"
constexpr int Summary_One_Error = 1118;    // "%1 error, %2 warnings"
constexpr int Summary_One_Warning = 1119;  // "%1 errors, %2 warning"
constexpr int Summary_One_Each = 1122;     // "%1 error, %2 warning"

} // namespace Cli_Text
