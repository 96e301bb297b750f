#pragma once

// The string-table slots of the editors' texts, named once per editor. The
// labels of the TLS fields and the certificate texts are named in
// certificates/Certificate_Texts.h, the messages of the checks an editor runs
// in checks/Check_Texts.h.

// Shared by every editor: leaving with changes, and the undo history.
namespace Editing_Text {

constexpr int Leave_Unsaved_Question = 441;
constexpr int Undo = 1513;
constexpr int Redo = 1514;
constexpr int Undo_Hint = 1515;  // the step undone follows as %1
constexpr int Redo_Hint = 1516;
constexpr int Nothing_To_Undo = 1517;
constexpr int Nothing_To_Redo = 1518;

} // namespace Editing_Text

// General parameters editor.
namespace Par_Gen_Text {

constexpr int Title = 400;
constexpr int Description = 401;
constexpr int Ok = 402;
constexpr int Cancel = 403;
constexpr int Ok_Hint = 404;
constexpr int Cancel_Hint = 405;

// IEC 61850 server.
constexpr int Server_Group = 406;
constexpr int Server_Port_Label = 407;
constexpr int Server_Port_Hint = 408;
constexpr int Server_Password_Label = 409;
constexpr int Server_Password_Hint = 410;

// TLS server; the labels of the key and certificate fields are the certificates' texts.
constexpr int Tls_Group = 411;
constexpr int Tls_Enable_Box = 412;
constexpr int Tls_Enable_Hint = 413;
constexpr int Key_Hint = 415;
constexpr int Key_Password_Hint = 417;
constexpr int Server_Certificate_Hint = 419;
constexpr int Root_Certificate_Hint = 421;
constexpr int Enable_Known_Cert_Hint = 423;

// PROFINET.
constexpr int Profinet_Group = 532;
constexpr int Ip_Label = 533;
constexpr int Ip_Byte_Hint = 534;  // the first byte's; those of the other three follow
constexpr int Mask_Label = 538;
constexpr int Mask_Byte_Hint = 539;  // the first byte's; those of the other three follow
constexpr int Gateway_Box = 543;
constexpr int Gateway_Hint = 544;
constexpr int Gateway_Byte_Hint = 545;  // the first byte's; those of the other three follow
constexpr int Tunnel_Port_Label = 549;
constexpr int Tunnel_Port_Hint = 550;
constexpr int Station_Name_Label = 551;
constexpr int Station_Name_Hint = 552;
constexpr int Input_Bytes_Label = 553;
constexpr int Input_Bytes_Hint = 554;
constexpr int Output_Bytes_Label = 555;
constexpr int Output_Bytes_Hint = 556;
constexpr int Diagnostic_Box = 557;
constexpr int Diagnostic_Hint = 558;
constexpr int Diagnostic_Address_Hint = 559;

// The station name question, the passwords' show buttons and the undo steps.
constexpr int Keep_Station_Name_Question = 1125;  // asked after the rule a station name breaks
constexpr int Show_Button = 1534;
constexpr int Show_Hint = 1535;
constexpr int Edit_Step = 1539;
constexpr int Check_Step = 1540;
constexpr int Load_Step = 1541;

} // namespace Par_Gen_Text

// What the list editors share.
namespace List_Editor_Text {

// Where a list editor's window texts lie in its block, from the block's first
// slot, its title: the description, then OK, Cancel and the four row
// commands, each with its hint as many slots further.
constexpr int Description_Offset = 1;
constexpr int First_Button_Offset = 2;
constexpr int Button_Hint_Offset = 6;

// The row commands, and a list that would lose rows when saved.
constexpr int Paste_Over_Used_Row = 1100;
constexpr int Copied_Row_Unfit = 1101;
constexpr int Nothing_Copied = 1102;
constexpr int Table_Full = 1120;
constexpr int Rows_Dropped_Question = 1121;

// The names of the undo steps on cells and rows.
constexpr int Cell_Edit_Step = 1519;
constexpr int Box_Toggle_Step = 1520;
constexpr int Pick_Choice_Step = 1521;
constexpr int Row_Delete_Step = 1522;
constexpr int Row_Insert_Step = 1523;
constexpr int Row_Paste_Step = 1524;
constexpr int Block_Paste_Step = 1525;

// A block pasted with Ctrl+V.
constexpr int Past_Last_Row = 1528;
constexpr int Past_Last_Column = 1529;
constexpr int Refused_Value = 1530;
constexpr int Refused_Pasted_Cell = 121;  // %1 the line, %2 the cell in the pasted text, %3 the column, %4 what OK says
constexpr int Overwrite_Question = 1531;

} // namespace List_Editor_Text

// Variables list editor.
namespace Variables_Text {

// The first of the window's texts, in the order of List_Editor_Text's offsets.
constexpr int Title = 900;
constexpr int Delete_Question = 931;  // the row number follows

// The table's columns.
constexpr int Column_Number = 914;
constexpr int Column_Enable = 915;
constexpr int Column_Name = 916;
constexpr int Column_Type = 917;
constexpr int Column_Length = 918;
constexpr int Column_Read_Only = 919;
constexpr int Column_Position = 920;
constexpr int Column_Mnemonic = 921;
constexpr int Column_Start_Bit = 932;
constexpr int Column_Conversion = 933;
constexpr int Column_Factor = 934;
constexpr int Column_Swap = 942;
constexpr int Column_Swap_Word = 943;
constexpr int Enable_Hint = 922;
constexpr int Name_Hint = 923;
constexpr int Type_Hint = 924;
constexpr int Length_Hint = 925;
constexpr int Read_Only_Hint = 926;
constexpr int Position_Hint = 927;
constexpr int Mnemonic_Hint = 928;
constexpr int Start_Bit_Hint = 935;
constexpr int Conversion_Hint = 936;
constexpr int Factor_Hint = 937;
constexpr int Swap_Hint = 944;
constexpr int Swap_Word_Hint = 945;

// The CSV and map buttons.
constexpr int Export_Button = 970;
constexpr int Import_Button = 971;
constexpr int Export_Hint = 972;
constexpr int Import_Hint = 973;
constexpr int Show_Map_Button = 974;
constexpr int Hide_Map_Button = 975;

// The map of the internal data array, also drawn in the report.
constexpr int Map_Title = 976;
constexpr int Map_No_Findings = 987;
constexpr int Map_Free_Byte = 990;
constexpr int Map_Byte = 991;  // the variables on the byte follow
constexpr int Map_Variable = 992;
constexpr int Map_Bit_Of_Byte = 1191;

// The placement's warnings, asked about before saving.
constexpr int Placement_Intro = 988;
constexpr int Save_Anyway = 989;

// CSV export and import.
constexpr int Csv_Filter = 993;
constexpr int Csv_Too_Many_Rows = 994;
constexpr int Csv_Too_Many_Fields = 995;
constexpr int Csv_Not_Utf8 = 996;
constexpr int Csv_Quote_Not_Closed = 997;
constexpr int Csv_Header_Unknown = 998;
constexpr int Csv_No_Header = 999;
constexpr int Csv_Overwrite_Question = 1105;
constexpr int Csv_Line_Column = 1116;  // the line, the column, then the fault
constexpr int Csv_Name_Used_Twice = 1123;
constexpr int Csv_Unreadable = 1192;  // the system's reason follows
constexpr int Csv_Control_Character = 1193;
constexpr int Csv_Written = 1533;
constexpr int Import_Question = 1532;
constexpr int Import_Step = 1526;

} // namespace Variables_Text

// Known-certificates editor; its other texts are the certificates'.
namespace Known_Cert_Text {

// The first of the window's texts, in the order of List_Editor_Text's offsets.
constexpr int Title = 800;
constexpr int Delete_Question = 821;  // the row number follows

// The table's columns.
constexpr int Column_Number = 814;
constexpr int Column_Enable = 815;
constexpr int Column_Certificate = 816;
constexpr int Column_Mnemonic = 817;
constexpr int Enable_Hint = 818;
constexpr int Certificate_Hint = 819;
constexpr int Mnemonic_Hint = 820;

constexpr int Load_Step = 1527;

} // namespace Known_Cert_Text

// Before an editor writes its file: a file changed elsewhere since it was
// loaded, and a configuration opened read-only.
namespace Guard_Text {

constexpr int Changed_Question = 111;  // %1 the file, %2 what it is now (Changed_Now or Deleted_Now)
constexpr int Changed_Now = 112;       // %1 the modification time, %2 the size in bytes
constexpr int Deleted_Now = 113;
constexpr int Overwrite = 114;
constexpr int Show_Differences = 115;
constexpr int Cancel = 116;
constexpr int Title = 117;
constexpr int In_This_Window = 118;
constexpr int On_Disk = 119;
constexpr int Differences_Unreadable = 120;  // %1 the file, %2 the reason

} // namespace Guard_Text
