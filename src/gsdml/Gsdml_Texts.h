#pragma once

// The string-table slots of the device description's file-name dialog, named once.
namespace Gsdml_Text {

constexpr int Title = 1500;
constexpr int Description = 1501;
constexpr int Ok = 1502;
constexpr int Cancel = 1503;
constexpr int Name_Heading = 1504;
constexpr int Fixed_Part_Heading = 1505;
constexpr int User_Part_Heading = 1506;
constexpr int Date_Part_Heading = 1507;
constexpr int User_Part_Hint = 1508;
constexpr int Ok_Hint = 1509;
constexpr int Cancel_Hint = 1510;
constexpr int Overwrite_Question = 1511;
constexpr int Unusable_Character = 1512;

} // namespace Gsdml_Text
