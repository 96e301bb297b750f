#pragma once

#include "commission/Commission_Run.h"

// The string-table slots of the commissioning window's and record's texts, named once.
namespace Commission_Text {

constexpr int Title = 1570;
constexpr int Open_Hint = 1571;
constexpr int List_Label = 1572;
constexpr int Open_List_Button = 1573;
constexpr int Interface_Label = 1574;
constexpr int Update_Box = 1575;
constexpr int Start_Button = 1576;
constexpr int Cancel_Button = 1577;
constexpr int Retry_Button = 1578;
constexpr int Record_Button = 1579;
constexpr int Close_Button = 1580;

// The table's columns; the first five also head the record's table.
constexpr int Column_Mac = 1581;
constexpr int Column_Name = 1582;
constexpr int Column_Address = 1583;
constexpr int Column_Configuration = 1584;
constexpr int Column_State = 1585;
constexpr int Column_Sent = 1586;
constexpr int Column_Answered = 1587;
constexpr int Column_Checks = 1588;

// The gateway states, in the order of Commission::Gateway_State.
constexpr int First_State = 1589;
constexpr int Running = 1126;

constexpr int List_Ok = 1061;
constexpr int List_Problems = 1062;
constexpr int No_List = 1063;
constexpr int No_Interface = 1064;
constexpr int Interface_Unusable = 1065;
constexpr int Searching = 1066;
constexpr int Progress = 1067;
constexpr int Stopping = 1068;
constexpr int Stopped = 1069;
constexpr int Finished = 1070;
constexpr int No_Device = 1071;
constexpr int Csv_Filter = 1072;
constexpr int Open_Failed = 1073;
constexpr int Record_Written = 1074;
constexpr int Record_Failed = 1075;
constexpr int Record_Title = 1076;
constexpr int Record_List = 1077;
constexpr int Record_Date = 1078;
constexpr int Record_Interface = 1079;
constexpr int Record_Sha = 1080;
constexpr int Record_Time = 1081;
constexpr int Record_Engineer = 1082;
constexpr int Record_Customer = 1083;
constexpr int Record_Signature = 1084;
constexpr int Record_Page_Of = 1085;
constexpr int Not_Listed = 1086;
constexpr int State_File_Failed = 1087;
constexpr int Record_Filter = 1088;
constexpr int Record_Outcome = 1089;
constexpr int Run_Failed = 1090;
constexpr int Status_Name = 1091;

constexpr int State_Slot(Commission::Gateway_State State) { return First_State + static_cast<int>(State); }

} // namespace Commission_Text
