#include "platform/Platform.h"

namespace tavlor::platform {

const char* systemName()
{
    return "Linux";
}

// Installed programs live in a prefix's bin folder (/usr/bin, /usr/local/bin, ~/.local/bin),
// and so does the build's own copy: root may write to all of them, and a clean wipes the last.
bool isInstalledProgramFolder(const std::string& programFolder)
{
    std::string folder = programFolder;
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    const std::size_t slash = folder.find_last_of('/');
    return folder.substr(slash == std::string::npos ? 0 : slash + 1) == "bin";
}

} // namespace tavlor::platform
