#pragma once
// "The program's folder": where the classification files and samples live, and against which relative
// structure and classification file names are resolved.

#include <string>

namespace corvatin {

/// $CORVATIN_DATA_DIR when set; otherwise the first existing of <exe dir>/data, <exe dir>/../share/corvatin and,
/// in developer builds only, the source tree's data folder recorded at build time; otherwise the executable's
/// folder. Ends with "/".
std::string DataFolder();

/// Overrides DataFolder() for this process (tests, the batch tool's --data option); empty restores the default.
void SetDataFolder(const std::string& folder);

/// Whether a file name has a folder part ("/", or "\" for names written on Windows).
bool HasFolderPart(const std::string& fileName);

} // namespace corvatin
