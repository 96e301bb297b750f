#pragma once

// The fixed text of the device description, with its indentation and without
// line ends. The three lines that carry configured values are split where the
// value goes.
namespace Profinet_XML_Lines {

extern const char* const Head[25];                  // lines 1 to 25
extern const char* const Access_Point_Begin;        // line 26, before the name of station
extern const char* const Access_Point_Between;      // line 26, between its two copies
extern const char* const Access_Point_End;          // line 26, after the second copy
extern const char* const Access_Point_Body[49];     // lines 27 to 75
extern const char* const Input_Begin;               // line 76, before the length
extern const char* const Input_End;                 // line 76, after it
extern const char* const Output_Begin;              // line 77, before the length
extern const char* const Output_End;                // line 77, after it
extern const char* const Tail[90];                  // lines 78 to 167

} // namespace Profinet_XML_Lines
