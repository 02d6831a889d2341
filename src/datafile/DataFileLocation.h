#pragma once

#include "platform/FileStore.h"

#include <string>

namespace tavlor {

// Whether a program may keep its data beside itself at all: an installed one (or one in a build
// tree that a clean removes) keeps it with the user's data whatever it may write.
enum class DataPlacement
{
    BesideProgramWhenWritable,
    UserFolder
};

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
                                const std::string& userDataFolder,
                                DataPlacement placement = DataPlacement::BesideProgramWhenWritable);

} // namespace tavlor
