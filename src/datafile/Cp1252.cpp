#include "datafile/ProfileFile.h"

#include <cstdint>

namespace tavlor {

namespace {

// Code points of the bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined map to
// the C1 controls of the same number, as the Windows conversion does, so every byte survives
// a round trip.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char toCp1252(std::uint32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<char>(cp);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// Decodes one UTF-8 sequence at `pos`. A malformed sequence uses up one byte and gives
// 0xFFFFFFFF, which no code page holds.
std::uint32_t decodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    int length = lead < 0x80           ? 1
                 : (lead >> 5) == 0x6  ? 2
                 : (lead >> 4) == 0xE  ? 3
                 : (lead >> 3) == 0x1E ? 4
                                       : 0;
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return 0xFFFFFFFF;
    }
    std::uint32_t cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFFFFFF;
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr std::uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFFFFFF;
    }
    pos += length;
    return cp;
}

bool isUtf8(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (decodeUtf8(text, pos) == 0xFFFFFFFF) {
            return false;
        }
    }
    return true;
}

std::string utf16ToCp1252(std::string_view bytes, bool bigEndian)
{
    const auto unitAt = [&](std::size_t i) -> std::uint32_t {
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        return static_cast<std::uint32_t>(hi << 8 | lo);
    };
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t cp = unitAt(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size() && unitAt(i + 2) >= 0xDC00 &&
            unitAt(i + 2) < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        }
        out += toCp1252(cp); // an unpaired surrogate is no character: '?'
    }
    return out;
}

// An old Mac file ends its lines with CR alone; the reader splits at LF.
std::string withLineFeeds(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
            out += '\n';
        }
    }
    return out;
}

bool startsWith(std::string_view bytes, std::string_view mark)
{
    return bytes.substr(0, mark.size()) == mark;
}

} // namespace

std::string ProfileBytesToCp1252(std::string_view raw)
{
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    std::string bytes;
    if (startsWith(raw, "\xFF\xFE") || startsWith(raw, "\xFE\xFF")) {
        bytes = utf16ToCp1252(raw.substr(2), raw[0] == '\xFE');
    } else if (startsWith(raw, kUtf8Mark)) {
        raw.remove_prefix(kUtf8Mark.size());
        // A mark before bytes that are not UTF-8 after all leaves them as they are.
        bytes = isUtf8(raw) ? Utf8ToCp1252(raw) : std::string(raw);
    } else {
        bytes = std::string(raw);
    }
    return withLineFeeds(bytes);
}

std::string Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        out += toCp1252(decodeUtf8(utf8, pos));
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b);
    }
    return out;
}

} // namespace tavlor
