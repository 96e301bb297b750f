#pragma once

// The string-table slots of the checks' messages, named once. The
// certificates' are named in certificates/Certificate_Texts.h, what the
// compile refuses in image/Image_Texts.h.
namespace Checks::Text_Slot {

// General parameters: a value out of its range.
constexpr int Server_Port_Range = 437;
constexpr int Address_Byte_Range = 560;  // the IP address's four bytes, then the subnet mask's four
constexpr int Gateway_Byte_Range = 568;  // the gateway's four bytes
constexpr int Tunnel_Port_Range = 572;
constexpr int Input_Bytes_Range = 573;   // the largest value follows
constexpr int Output_Bytes_Range = 574;  // the largest value follows
constexpr int Diagnostic_Range = 575;    // the largest value follows

// General parameters: a station name the PROFINET controller cannot use.
constexpr int Station_Name_Not_Valid = 1124;  // the broken rule follows as %2

// Variables list, the editor's rules: "Error row " and the row number, then the rule.
constexpr int Error_Row = 929;
constexpr int Position_Range = 930;  // the largest value follows
constexpr int Start_Bit_Missing = 938;
constexpr int Conversion_Missing = 939;
constexpr int Factor_Not_Float = 940;
constexpr int Length_Range = 941;

// Lists: values no editor writes, and the limits of the device.
constexpr int Type_Not_Item = 1109;
constexpr int Conversion_Not_Item = 1110;
constexpr int Name_Used_Twice = 1111;
constexpr int Too_Many_Variables = 1112;
constexpr int Too_Many_Certificates = 1113;
constexpr int Box_Not_Y_N = 1114;
constexpr int Start_Bit_Not_Bit = 1115;
constexpr int Warning_Row = 1117;

// The placement of the variables on the internal data array.
constexpr int One_Byte = 977;
constexpr int Bytes = 978;
constexpr int Byte_Overlap = 979;
constexpr int Bit_Overlap = 980;
constexpr int Past_End = 981;
constexpr int Float_Length = 982;
constexpr int Start_Bit_Ignored = 983;
constexpr int Bad_Bit = 984;
constexpr int Free_Bytes = 985;
constexpr int No_Free_Byte = 986;
constexpr int Free_Range = 1190;

// A project file whose first node is not its root element: the kind of node
// as %1 (one of the four below).
constexpr int Read_As_Defaults = 1455;
constexpr int Leading_Comment = 1456;
constexpr int Leading_Document_Type = 1457;
constexpr int Leading_Declaration = 1458;
constexpr int Leading_Instruction = 1459;

} // namespace Checks::Text_Slot
