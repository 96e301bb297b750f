#pragma once

#include <QString>

class Lang_Table;

// The string-table slots of the find-gateways dialog's texts, named once.
namespace Dcp_Text {

constexpr int Title = 700;
constexpr int Open_Hint = 701;  // what the dialog does, the hint of the buttons that open it
constexpr int Interface_Label = 702;
constexpr int Search_Button = 703;

// The table's columns; the station name and the three addresses also name the
// edits under the table.
constexpr int Column_Name = 704;
constexpr int Column_Ip = 705;
constexpr int Column_Mask = 706;
constexpr int Column_Gateway = 707;
constexpr int Column_Mac = 708;
constexpr int Column_Vendor = 709;
constexpr int Column_Ids = 710;
constexpr int Column_Role = 711;

// The commands on the selected gateway and the dialog's buttons.
constexpr int Flash_Button = 712;
constexpr int Set_Name_Button = 713;
constexpr int Set_Ip_Button = 714;
constexpr int Permanent_Box = 715;
constexpr int Use_Address_Button = 716;
constexpr int Close_Button = 717;

// The status line, the questions and the messages.
constexpr int Search_Result = 718;
constexpr int No_Interface = 719;
constexpr int Interface_Unusable = 720;
constexpr int Flash_Question = 721;
constexpr int Set_Name_Question = 722;
constexpr int Set_Ip_Question = 723;
constexpr int Station_Name_Not_Valid = 724;  // the broken rule follows as %2
constexpr int Device_Done = 725;
constexpr int Device_Refused = 726;
constexpr int No_Answer = 727;
constexpr int Ip_Suite_Not_Valid = 728;
constexpr int Name_Shared = 729;
constexpr int Ip_Shared = 730;
constexpr int Gateway_Hint = 731;
constexpr int Other_Device_Hint = 732;
constexpr int Searching = 733;
constexpr int Table_Name = 735;
constexpr int Status_Name = 736;

// A station name or address another device holds already, asked about; an
// IP parameter no device may hold; what a search passed over; a device whose
// answers were none to what was sent.
constexpr int Ip_Suite_Refused = 767;  // the broken rule follows as %1
constexpr int Name_Held_Question = 768;
constexpr int Ip_Held_Question = 769;
constexpr int Use_Shared_Address_Question = 770;
constexpr int Answers_Dropped = 771;
constexpr int Answers_Malformed = 772;
constexpr int No_Valid_Answer = 773;

// The exchange with the devices running on while the window stays usable:
// cancelled, failed on the way out, or its follow-up question unanswered;
// the device's own report of an address conflict.
constexpr int Cancel_Button = 774;
constexpr int Search_Cancelled = 775;
constexpr int Change_Cancelled = 776;
constexpr int Not_Sent = 777;
constexpr int Refresh_No_Answer = 778;
constexpr int Refresh_Failed = 779;
constexpr int Refresh_Cancelled = 780;
constexpr int Ip_Conflict = 781;
constexpr int Waiting = 782;
constexpr int Answers_Conflict = 783;

// What a device answers to a set request: the text of block error 0 ("no
// error"); those of the errors 1 to 6 follow.
constexpr int First_Block_Error = 750;
constexpr int Last_Block_Error = 756;
constexpr int Unknown_Block_Error = 784; // "%1": the code

} // namespace Dcp_Text

namespace Dcp {

// A device's BlockError in words: the slot of its text and, for a code the
// protocol does not name, the code to put in for the slot's %1.
struct Block_Error_Words {
    int Slot = Dcp_Text::First_Block_Error;
    QString Argument;
};
Block_Error_Words Block_Error_Words_Of(quint8 Error);
// The same, written in the language of Texts: what the window and the
// command line say a device answered.
QString Block_Error_Text(const Lang_Table& Texts, quint8 Error);

} // namespace Dcp
