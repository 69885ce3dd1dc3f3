#pragma once

#include <string>
#include <string_view>

#include "filter/settings.h"
#include "prefs/conffile.h"

namespace navorel {

// The settings navorel.conf keeps, by group and key:
//   [Filter]
//   Talkers=GNSS   (or GPS)

// Takes the values navorel.conf holds; a key that is missing or holds a
// value this version does not know leaves the setting as it is.
void readConfSettings(const ConfFile &file, Settings &settings);
// Sets the keys from settings; the rest of the file stays as it is.
void writeConfSettings(ConfFile &file, const Settings &settings);

// "GNSS" or "GPS", as the file and the command line name the mode;
// reading ignores case. False for anything else.
std::string_view talkersText(TalkerMode talkers);
bool talkersFromText(std::string_view text, TalkerMode &talkers);

// navorel.conf in the folder of the settings file at iniPath.
std::string confPathBeside(const std::string &iniPath);

} // namespace navorel
