#pragma once

#include "dcp/Dcp_Texts.h"

// The string-table slots of the update dialog's texts, named once.
namespace Update_Text {

constexpr int Title = 1002;
constexpr int Description = 1003;
constexpr int Address_Label = 1006;
constexpr int Options_Label = 1014;
constexpr int Option_Firmware_And_Configuration = 1015;
constexpr int Option_Firmware = 1016;
constexpr int Option_Configuration = 1017;
constexpr int Read_Back = 1018;
constexpr int Cancel = 1019;
constexpr int Update = 1020;
constexpr int First_Byte_Hint = 1021;  // the next three bytes follow
constexpr int Options_Hint = 1032;
constexpr int Read_Back_Hint = 1033;
constexpr int Cancel_Hint = 1034;
constexpr int Update_Hint = 1035;
// The find-gateways dialog's title and purpose name the button that opens it.
constexpr int Find_Gateways_Name = Dcp_Text::Title;
constexpr int Find_Gateways_Hint = Dcp_Text::Open_Hint;
constexpr int Find_Gateways = 734;
constexpr int Device_Not_Found = 1036;
constexpr int Check_Address = 1037;
constexpr int Updater_Ended = 1038;
constexpr int Update_Completed = 1039;
constexpr int Transfer_Failed = 1040;
constexpr int Files_Unusable = 1041;
constexpr int Undocumented_Code = 1042;
constexpr int Still_Running_After = 1043;
constexpr int Not_Started = 1044;
constexpr int Stopped_Abnormally = 1045;
constexpr int Outcome_Name = 1046;
constexpr int Updater_Still_Running = 611;
constexpr int Firmware_Missing = 612;
constexpr int Updater_Running_For = 613;

} // namespace Update_Text
