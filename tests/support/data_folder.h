// Where the player keeps its data files in the simulated machine: the data
// folder below a profile, and the files of the machine's own user.
#pragma once

#include <string>

namespace support {

inline const std::string DATA_FOLDER_BELOW_PROFILE = "\\Local Settings\\Application Data\\Varnel\\MP3";
inline const std::string PROFILE = "C:\\Users\\tester";
inline const std::string DATA_FOLDER = PROFILE + DATA_FOLDER_BELOW_PROFILE;
inline const std::string LIST_FILE = DATA_FOLDER + "\\list.vnp";
inline const std::string DIR_FILE = DATA_FOLDER + "\\dir.vnd";

}  // namespace support
