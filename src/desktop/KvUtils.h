#pragma once

#include "platform/ShellFolders.h"

#include <string>

namespace tavlor {

// Writes a shortcut to the running program into the folder chosen by keyword ("desk", "start",
// "prog"); returns whether a shortcut file was written.
bool CreateShellLink(ShellFolders& shell, const std::string& linkName, const std::string& keyword,
                     const std::string& iconFile);

// btnWinStartClick's message for the outcome.
std::string AutostartMessage(bool written);

} // namespace tavlor
