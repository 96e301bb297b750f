#pragma once

// The string-table slots of the shell's texts, named once per window. The
// main window's buttons that open the find-gateways dialog and write the
// report take those windows' texts.

// Main window.
namespace Main_Window_Text {

constexpr int Begin = 0;
constexpr int First_Step = 1;  // "Step 1"; the steps 2 to 8 follow
constexpr int No_Configuration = 9;
constexpr int Use_Step_1 = 10;
constexpr int Opened_Configuration = 11;
constexpr int Project_Not_Valid = 18;
constexpr int New_Version = 19;
constexpr int Status_Name = 36;

// The buttons: a caption and a hint each, the hint alone where an icon stands.
constexpr int Information_Hint = 12;
constexpr int Options_Hint = 13;
constexpr int Close_Hint = 14;
constexpr int New_Button = 15;
constexpr int New_Hint = 22;
constexpr int Open_Button = 16;
constexpr int Open_Hint = 23;
constexpr int Update_Button = 17;
constexpr int Update_Hint = 26;
constexpr int Parameters_Button = 20;
constexpr int Parameters_Hint = 24;
constexpr int Variables_Button = 21;
constexpr int Variables_Hint = 25;
constexpr int Known_Cert_Button = 27;
constexpr int Known_Cert_Hint = 28;
constexpr int Modbus_Button = 29;
constexpr int Modbus_Hint = 30;
constexpr int Gsdml_Button = 31;
constexpr int Gsdml_Hint = 32;

// What the last step wrote, and where.
constexpr int Banks_Written = 33;
constexpr int Gsdml_Written = 34;
constexpr int Default_Parameters = 35;

// One program per configuration.
constexpr int Held_Question = 37;      // %1 the configuration, %2 the computer, %3 the process, %4 since when
constexpr int Held_Read_Only = 38;     // the reason every save is refused; the same arguments
constexpr int Unlockable_Read_Only = 39;  // %1 the configuration, %2 its folder
constexpr int Read_Only_Mark = 40;     // %1 the configuration's name
constexpr int None_Open = 41;          // a step that needs a configuration, with none open

// A refused configuration name: %1 the refusal, then the rule it breaks.
constexpr int Name_Character = 42;     // %2 the character
constexpr int Name_Invisible = 43;     // %2 its code, U+XXXX
constexpr int Name_Dot = 44;
constexpr int Name_Blank = 45;
constexpr int Name_Length = 46;        // %2 the name's length in bytes, %3 the most allowed
constexpr int Window_Title = 47;       // the caption, in the language on screen

} // namespace Main_Window_Text

// New configuration; why a name is refused is the foundation's.
namespace New_Project_Text {

constexpr int Title = 100;
constexpr int Description = 101;
constexpr int Name_Label = 102;
constexpr int Ok = 103;
constexpr int Cancel = 104;
constexpr int Name_Hint = 108;
constexpr int Ok_Hint = 109;
constexpr int Cancel_Hint = 110;

} // namespace New_Project_Text

// Open configuration, with the commands on the selected one; why a command
// failed is the foundation's.
namespace Open_Conf_Text {

constexpr int Title = 200;
constexpr int Description = 201;
constexpr int List_Label = 202;
constexpr int Ok = 203;
constexpr int Cancel = 204;
constexpr int List_Hint = 205;
constexpr int Ok_Hint = 206;
constexpr int Cancel_Hint = 207;
constexpr int Duplicate_Button = 208;
constexpr int Duplicate_Hint = 209;
constexpr int Rename_Button = 210;
constexpr int Rename_Hint = 211;
constexpr int Delete_Button = 212;
constexpr int Delete_Hint = 213;
constexpr int Compare_Button = 214;
constexpr int Compare_Hint = 215;
constexpr int Delete_Question = 219;
constexpr int Nothing_Selected = 224;
constexpr int Nothing_Opened = 225;
constexpr int Compare_Unreadable = 231;

} // namespace Open_Conf_Text

// The new name of a configuration; OK and Cancel are the open dialog's.
namespace Conf_Name_Text {

constexpr int Duplicate_Title = 216;
constexpr int Rename_Title = 217;
constexpr int Name_Label = 218;
constexpr int Ok = Open_Conf_Text::Ok;
constexpr int Cancel = Open_Conf_Text::Cancel;

} // namespace Conf_Name_Text

// About.
namespace About_Text {

constexpr int Title = 1538;

} // namespace About_Text

// The earlier versions of a configuration's project files.
namespace History_Text {

constexpr int Title = 854;
constexpr int Description = 855;  // %1 the configuration
constexpr int Button = 856;       // in the open dialog
constexpr int Button_Hint = 857;
constexpr int File_Column = 858;
constexpr int Time_Column = 859;
constexpr int Size_Column = 860;
constexpr int Differences_Column = 861;
constexpr int Same_As_Current = 862;
constexpr int Differences_Count = 863;  // %1 how many
constexpr int One_Difference = 864;
constexpr int Restore = 865;
constexpr int Restore_Hint = 866;
constexpr int Close = 867;
constexpr int Restore_Question = 868;  // %1 the version, %2 the file
constexpr int Restored = 869;          // %1 the file, %2 the version's time
constexpr int Restore_Held = 870;      // %1 the configuration, %2 the computer, %3 the process, %4 since when
constexpr int None_Kept = 871;
constexpr int Nothing_Selected = 872;
constexpr int Not_Comparable = 873;    // %1 the reason
constexpr int This_Version = 874;
constexpr int Current = 875;
constexpr int Size_Bytes = 876;        // %1 the size in bytes
constexpr int Not_Sent_Only = 877;     // the bytes differ, what the device receives does not

} // namespace History_Text
