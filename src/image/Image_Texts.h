#pragma once

// The string-table slots of the compile's messages, named once.
namespace Image_Text {

constexpr int Too_Large = 1106;
constexpr int Banks_Not_Written = 1107;  // the reason follows
constexpr int Compile_Busy = 610;

} // namespace Image_Text
