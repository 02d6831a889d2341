#pragma once

#include <string>
#include <string_view>

namespace tavlor {

// An INI-style profile file held in memory as its raw bytes (Windows-1252, CR LF), read and
// written key by key the way the Windows profile functions do: section and key names match
// without regard to case, blanks around keys and values are trimmed, an existing line is
// updated in place and every other line is kept as it was.
class ProfileFile
{
public:
    static constexpr std::size_t kMaxValueLength = 2047;

    // The bytes go through ProfileBytesToCp1252 first.
    explicit ProfileFile(std::string bytes = {});

    // The value (raw bytes, at most kMaxValueLength), or defaultValue when section or key is
    // missing. A key present with an empty value reads as "".
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Updates the key's line in place (keeping the key's spelling), or appends the key at the
    // end of its section, or appends the section at the end of the file.
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

// A profile file's bytes as Windows-1252 with LF-ended lines, whatever an editor made of it:
// UTF-16 (either byte order) and UTF-8 after a byte-order mark are converted, the mark dropped,
// and lines ended by CR alone get their LF. Files written back stay Windows-1252 with CR LF.
std::string ProfileBytesToCp1252(std::string_view raw);

// Text conversion between the program's UTF-8 and the file's Windows-1252 bytes.
// Characters Windows-1252 cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view bytes);

} // namespace tavlor
