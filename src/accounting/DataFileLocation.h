#pragma once

#include "platform/FileStore.h"

#include <string>

namespace tavlor {

struct DataFileLocation
{
    std::string path;
    // What the user is told once, when the counters move to the user's folder for the first
    // time; empty otherwise.
    std::string notice;
};

// Where data/data.ini lives: beside the program when a data file can be kept there, else in the
// user's data folder (userDataFolder, e.g. ~/.local/share/Tavlor). When both places hold one,
// the newer file is the record, and the user's file wins a tie, so that counters never roll
// back to a stale copy. Temporary files that killed saves left in either place are removed.
DataFileLocation LocateDataFile(FileStore& files, const std::string& programFolder,
                                const std::string& userDataFolder);

} // namespace tavlor
