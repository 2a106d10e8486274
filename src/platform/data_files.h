#pragma once
// Where the program finds its data files (help pages, satellite tables): beside the executable
// first, so a build folder or a portable copy uses its own files, then in the data folder of an
// installed program (<prefix>/share/quillox/, found from the executable's folder).
#include <string>

namespace quillox {

// The installed data folder with a trailing '/', or "" when there is none (a build folder).
std::string InstalledDataDir(const std::string& programDir);

// The first existing file among programDir + relative and dataDir + relative; "" when neither.
std::string FindDataFile(const std::string& programDir, const std::string& dataDir,
                         const std::string& relative);

// A satellite table given by name alone ("0192E.csv", or "0192E" for the table of that name)
// that is not a file in the current folder is looked up in the data folders' satellites/.
// Anything else is a path and comes back unchanged, as does a name found nowhere.
std::string ResolveSatelliteTable(const std::string& name, const std::string& programDir,
                                  const std::string& dataDir);

}  // namespace quillox
