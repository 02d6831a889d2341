#include "datafile/ProfileFile.h"

#include <optional>

namespace tavlor {

namespace {

// The characters the profile functions trim around names and values; 0x1A is the DOS
// end-of-file mark some old files carry.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Case folding of Windows-1252 letters, so that names like "ÄNDERN" and "ändern" match too.
unsigned char foldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') {
        return static_cast<unsigned char>(c + 32);
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return static_cast<unsigned char>(c + 32);
    }
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(c + 16);
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

struct Line
{
    std::size_t begin = 0;      // first byte of the line
    std::size_t contentEnd = 0; // end of the content, before "\r\n" or "\n"
    std::size_t end = 0;        // after the line break (== contentEnd for a last line without one)
    enum class Kind
    {
        Blank,
        Section,
        Key,
        Other
    } kind = Kind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key value, trimmed
};

Line classify(std::string_view bytes, std::size_t begin, std::size_t contentEnd, std::size_t end)
{
    Line line;
    line.begin = begin;
    line.contentEnd = contentEnd;
    line.end = end;
    std::string_view text = bytes.substr(begin, contentEnd - begin);
    // A byte-order mark left inside a file that was pasted together would hide its line.
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        text.remove_prefix(kUtf8Mark.size());
    }
    text = trim(text);
    if (text.empty()) {
        line.kind = Line::Kind::Blank;
        return line;
    }
    if (text.front() == '[') {
        std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            line.kind = Line::Kind::Section;
            line.name = trim(text.substr(1, close - 1));
            return line;
        }
    }
    std::size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
        line.kind = Line::Kind::Key;
        line.name = trim(text.substr(0, eq));
        line.value = trim(text.substr(eq + 1));
    }
    return line;
}

// Walks the lines one at a time, without copying; the file is read anew for every key,
// as the platform's functions do.
class LineReader
{
public:
    explicit LineReader(std::string_view bytes) : m_bytes(bytes) {}

    bool next(Line& line)
    {
        if (m_pos >= m_bytes.size()) {
            return false;
        }
        const std::size_t nl = m_bytes.find('\n', m_pos);
        const std::size_t end = nl == std::string_view::npos ? m_bytes.size() : nl + 1;
        std::size_t contentEnd = end;
        if (nl != std::string_view::npos) {
            contentEnd = nl > m_pos && m_bytes[nl - 1] == '\r' ? nl - 1 : nl;
        }
        line = classify(m_bytes, m_pos, contentEnd, end);
        m_pos = end;
        return true;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// The first section of the name: its last non-blank line (the header when the section is
// empty) and the first key line of the name in it.
struct SectionRange
{
    Line last;
    std::optional<Line> key;
};

std::optional<SectionRange> findSection(std::string_view bytes, std::string_view section,
                                        std::string_view key)
{
    LineReader lines(bytes);
    Line line;
    bool found = false;
    while (!found && lines.next(line)) {
        found = line.kind == Line::Kind::Section && equalNoCase(line.name, section);
    }
    if (!found) {
        return std::nullopt;
    }
    SectionRange range{line, std::nullopt};
    while (lines.next(line) && line.kind != Line::Kind::Section) {
        if (line.kind == Line::Kind::Blank) {
            continue;
        }
        range.last = line;
        if (!range.key && line.kind == Line::Kind::Key && equalNoCase(line.name, key)) {
            range.key = line;
        }
    }
    return range;
}

// The value as the reader hands it out: cut at a NUL (the functions work on C strings),
// trimmed, one pair of matching quotes removed, at most kMaxValueLength bytes.
std::string readerForm(std::string_view value)
{
    value = trim(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, ProfileFile::kMaxValueLength));
}

// The text to put after "=" so that the reader gives `value` back: a value with blanks at its
// ends or in quotes of its own is quoted once more. A line break or NUL would end the line
// (or the C string), so the value ends there.
std::string writerForm(std::string_view value)
{
    value = value.substr(0, value.find_first_of(std::string_view("\n\0", 2)));
    bool needsQuotes =
        !value.empty() && (isBlank(value.front()) || isBlank(value.back()) ||
                           (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                            value.back() == value.front()));
    return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

std::string singleLine(std::string_view name)
{
    return std::string(trim(name.substr(0, name.find_first_of(std::string_view("\r\n\0", 3)))));
}

} // namespace

ProfileFile::ProfileFile(std::string bytes) : m_bytes(ProfileBytesToCp1252(bytes)) {}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const
{
    std::optional<SectionRange> range = findSection(m_bytes, trim(section), trim(key));
    if (!range || !range->key) {
        return std::string(defaultValue.substr(0, kMaxValueLength));
    }
    return readerForm(range->key->value);
}

void ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = singleLine(section);
    const std::string keyName = singleLine(key);
    const std::string text = writerForm(value);
    std::optional<SectionRange> range = findSection(m_bytes, sectionName, keyName);
    if (range && range->key) {
        const Line& line = *range->key;
        m_bytes.replace(line.begin, line.contentEnd - line.begin, std::string(line.name) + "=" + text);
        return;
    }
    std::string added = (range ? "" : "[" + sectionName + "]\r\n") + keyName + "=" + text + "\r\n";
    // A missing key goes after the last non-blank line of its section, so blank lines before
    // the next section stay where they are; a missing section goes at the end of the file.
    const std::size_t at = range ? range->last.end : m_bytes.size();
    if (at > 0 && m_bytes[at - 1] != '\n') {
        added.insert(0, "\r\n");
    }
    m_bytes.insert(at, added);
}

} // namespace tavlor
