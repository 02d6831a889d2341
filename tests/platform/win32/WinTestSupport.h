#pragma once

#include <string>

namespace tavlor::test {

// A fresh, empty folder under the system's temporary folder, removed with its files on
// destruction. Paths are UTF-8 with backslashes and no trailing separator.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Runs this test executable again with the arguments and returns its exit code (-1 when it
// could not be started or did not end within 60 s).
int RunSelf(const std::string& arguments);

// File helpers through the wide calls, independent of the code under test.
std::string ReadWhole(const std::string& path);
void WriteWhole(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
void SetReadOnly(const std::string& path, bool readOnly);

} // namespace tavlor::test
