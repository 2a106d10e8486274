#pragma once
// Settings.ini: every input of the main window between runs, plus section Device (which tuner
// to open). The keys live in one table (settings_file.cpp) that both reading and writing walk;
// TForm1::ReadSettings and TForm1::WriteSettings are the two entry points.
#include <string>

#include "device/device_factory.h"

namespace quillox {

class ProfileFile;

// Where Settings.ini lives: beside the program when that folder is writable (portable use),
// otherwise <config>/quillox/Settings.ini, <config> being $XDG_CONFIG_HOME when it is an
// absolute path, else <home>/.config. Folders are given with or without a trailing '/'.
std::string SettingsPathFor(const std::string& programDir, bool programDirWritable,
                            const std::string& xdgConfigHome, const std::string& home);
// The same rule applied to this process: the folder's write permission and the environment;
// fallbackHome stands in for $HOME when it is unset.
std::string SettingsPath(const std::string& programDir, const std::string& fallbackHome);
bool IsWritableFolder(const std::string& folder);

// Section Device; missing or malformed keys read as the defaults of DeviceSettings.
DeviceSettings ReadDeviceSettings(const ProfileFile& file);
DeviceSettings ReadDeviceSettings(const std::string& settingsPath);
void WriteDeviceSettings(ProfileFile& file, const DeviceSettings& settings);

}  // namespace quillox
