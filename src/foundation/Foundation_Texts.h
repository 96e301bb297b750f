#pragma once

// The string-table slots of the texts the foundation hands to the windows and
// the command line, named once.
namespace Foundation_Text {

// Why a configuration name is refused (the new-configuration and the
// configuration-name dialogs).
constexpr int Name_Not_Usable = 105;  // unsafe, or the file system refused the folder
constexpr int Name_Exists = 106;
constexpr int Name_Empty = 107;

// Why a duplicate, rename or delete of a configuration failed; the name is %1.
constexpr int Not_Trashed = 220;
constexpr int Not_Copied = 221;
constexpr int Not_Found = 222;
constexpr int Not_Renamed = 223;

// The rules of a PROFINET station name, each in a sentence: the first rule;
// the others follow in the order of Station_Name_Rule.
constexpr int First_Station_Name_Rule = 740;

// A file not written because its path is a symbolic link.
constexpr int Refused_Link = 1108;

} // namespace Foundation_Text
