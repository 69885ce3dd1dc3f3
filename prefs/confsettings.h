#pragma once

#include <string>
#include <string_view>

#include "filter/settings.h"
#include "prefs/conffile.h"
#include "prefs/recentlist.h"
#include "prefs/windowplace.h"

namespace navorel {

// The one place that maps settings to navorel.conf, by group and key:
//   [Filter]
//   Talkers=GNSS   (or GPS)
//   MinQuality=any (autonomous, differential, rtk-float, rtk-fixed)
//   Checksums=     (verify or ignore; empty: verify with every talker)
//   [COM]
//   PortName=      (a port the settings file cannot name; empty for none)
//   [Survey]
//   TargetR95=0.5  (metres, above 0)
//   MinMinutes=30  (0 to 10080)
//   StopWhenReached=false
//   SaveWhenReached= (a file name; empty for none)

// A week: the longest minimum time a survey can be given.
inline constexpr int kMostSurveyMinutes = 7 * 24 * 60;
//   [Recent]
//   File1= .. File8= (the files last opened or saved, newest first)
//   [Window]
//   Geometry=x,y,width,height  Maximized=true|false  Splitter=225,440  Tab=0
//   <dialog>Folder=, <dialog>Filter= for each of kDialogNames

// Takes the values navorel.conf holds; a key that is missing or holds a
// value this version does not know leaves the setting as it is.
void readConfSettings(const ConfFile &file, Settings &settings);
// Sets the keys from settings; the rest of the file stays as it is.
void writeConfSettings(ConfFile &file, const Settings &settings);

// The window's file dialogs whose folder and filter [Window] keeps.
inline constexpr std::string_view kDialogNames[] = {"FileOpenTXT",     "FileSaveNMEAdataAs", "FileOpenFlDat",
                                                    "FileSaveAsFlRes", "ExportMeanPosition", "ExportTrack"};

// [Recent] and [Window], read and written as above; what is missing or
// unreadable is left out, so a first start looks as it always did.
void readRecentList(const ConfFile &file, RecentList &recent);
void writeRecentList(ConfFile &file, const RecentList &recent);
void readWindowPlace(const ConfFile &file, WindowPlace &place);
void writeWindowPlace(ConfFile &file, const WindowPlace &place);

// "GNSS" or "GPS", as the file and the command line name the mode;
// reading ignores case. False for anything else.
std::string_view talkersText(TalkerMode talkers);
bool talkersFromText(std::string_view text, TalkerMode &talkers);

// navorel.conf in the folder of the settings file at iniPath: the one
// rule of where it lies, for the window and the command line alike.
std::string confPathBeside(const std::string &iniPath);

} // namespace navorel
