// The program's own profile-file reader and writer against the system's profile functions
// (GetPrivateProfileStringA / WritePrivateProfileStringA) on the same files.
#include "datafile/ProfileFile.h"

#include "WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace tavlor {
namespace {

constexpr const char* kMissing = "<missing>";

struct Query
{
    std::string section;
    std::string key;
};

struct ReadShape
{
    const char* name;
    std::string bytes;
    std::vector<Query> queries;
};

// Every file gets a name of its own: the system caches profile files by name and time stamp.
std::string freshFile(const test::TempFolder& folder)
{
    static int counter = 0;
    return folder.file("shape" + std::to_string(++counter) + ".ini");
}

std::string systemRead(const std::string& file, const Query& q)
{
    std::vector<char> buffer(ProfileFile::kMaxValueLength + 1, '\0');
    const DWORD n = GetPrivateProfileStringA(q.section.c_str(), q.key.c_str(), kMissing, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), n);
}

const std::string kDefaultFile = "Diese Datei nicht \xE4ndern!!!  Tavlor-Timestamp: 08.12.2026 17:05:09\r\n"
                                 "\r\n[data]\r\noTA=0:0:0\r\noTD=0:0:0\r\nSD=08.12.2026\r\nTYP=0\r\n"
                                 "RD=08.12.2026\r\nTup=0\r\nTDown=0\r\nonLAN=0\r\nBIn=0\r\nBOut=1\r\n"
                                 "MINI=0\r\nBEENDEN=0\r\nY=0\r\nX=0\r\n";

std::vector<ReadShape> readShapes()
{
    const Query tup{"DATA", "TUp"};
    std::vector<ReadShape> shapes = {
        {"DefaultFile",
         kDefaultFile,
         {{"DATA", "oTA"},
          {"DATA", "oTD"},
          {"DATA", "SD"},
          {"DATA", "TYP"},
          {"DATA", "RD"},
          tup,
          {"DATA", "TDown"},
          {"DATA", "onLAN"},
          {"DATA", "BIn"},
          {"DATA", "BOut"},
          {"DATA", "MINI"},
          {"DATA", "BEENDEN"},
          {"DATA", "X"},
          {"DATA", "Y"},
          {"DATA", "Nope"},
          {"Other", "X"}}},
        {"KeyCase", "[data]\r\nTUP=5\r\n", {tup, {"data", "tup"}}},
        {"SectionCase", "[DaTa]\r\nTUp=5\r\n", {tup, {"dAtA", "TUp"}}},
        {"BlanksAroundKeyAndValue", "[data]\r\n  TUp  =  7  \r\n", {tup}},
        {"TabsAroundKeyAndValue", "[data]\r\n\tTUp\t=\t7\t\r\n", {tup}},
        {"DoubleQuotes", "[data]\r\nTUp=\"7\"\r\n", {tup}},
        {"SingleQuotes", "[data]\r\nTUp='7'\r\n", {tup}},
        {"QuotesKeepInnerBlanks", "[data]\r\nTUp=\" 7 \"\r\n", {tup}},
        {"UnmatchedQuote", "[data]\r\nTUp=\"7\r\nTDown=7\"\r\n", {tup, {"DATA", "TDown"}}},
        {"MixedQuotes", "[data]\r\nTUp=\"7'\r\n", {tup}},
        {"QuotesInside", "[data]\r\nTUp=a\"b\"c\r\n", {tup}},
        {"EmptyValue", "[data]\r\nTUp=\r\nRD=\r\n", {tup, {"DATA", "RD"}}},
        {"BlankValue", "[data]\r\nTUp=   \r\n", {tup}},
        {"LineWithoutEquals", "[data]\r\nTUp\r\nTDown 5\r\n", {tup, {"DATA", "TDown"}}},
        {"DuplicateKeys", "[data]\r\nTUp=1\r\ntup=2\r\nTUP=3\r\n", {tup}},
        {"DuplicateSections",
         "[data]\r\nTUp=1\r\n[other]\r\nX=9\r\n[DATA]\r\nTUp=2\r\nTDown=3\r\n",
         {tup, {"DATA", "TDown"}, {"other", "X"}}},
        {"KeyInAnotherSection", "[other]\r\nTUp=1\r\n[data]\r\nTDown=2\r\n", {tup, {"other", "TUp"}}},
        {"MissingSection", "[other]\r\nTUp=1\r\n", {tup}},
        {"EmptyFile", "", {tup}},
        {"LongValue", "[data]\r\nTUp=" + std::string(2047, 'x') + "\r\n", {tup}},
        {"TooLongValue", "[data]\r\nTUp=" + std::string(3000, 'y') + "z\r\n", {tup}},
        {"EqualsInValue", "[data]\r\nTUp=a=b=c\r\n", {tup}},
        {"BlankInsideKey", "[data]\r\nmy key = 1\r\n", {{"DATA", "my key"}}},
        {"CommentLines",
         "; comment\r\n[data]\r\n;TUp=1\r\nTUp=2 ; not a comment\r\n",
         {tup, {"DATA", ";TUp"}}},
        {"BlanksInSectionHeader", "[ data ]\r\nTUp=1\r\n", {tup, {" data ", "TUp"}}},
        {"TextAfterSectionHeader", "[data] tail\r\nTUp=1\r\n", {tup}},
        {"LfLineEnds", "[data]\nTUp=1\nTDown=2\n", {tup, {"DATA", "TDown"}}},
        {"MixedLineEnds", "[data]\r\nTUp=1\nTDown=2\r\nX=3", {tup, {"DATA", "TDown"}, {"DATA", "X"}}},
        {"NoFinalLineEnd", "[data]\r\nTUp=1", {tup}},
        {"KeysBeforeAnySection", "TUp=1\r\n[data]\r\nTDown=2\r\n", {tup, {"DATA", "TDown"}}},
        {"EmptyKey", "[data]\r\n=5\r\nTUp=6\r\n", {tup}},
        {"IndentedSectionHeader", "   [data]\r\nTUp=1\r\n", {tup}},
        {"Cp1252Bytes",
         "[data]\r\nRD=\xE4\xF6\xFC\xDF\x80\r\n\xC4ndern=1\r\n",
         {{"DATA", "RD"}, {"DATA", "\xC4ndern"}}},
        {"BlankLinesEverywhere", "\r\n\r\n[data]\r\n\r\n  \r\nTUp=1\r\n\r\n", {tup}},
        {"EmptySectionThenReal", "[data]\r\n[other]\r\nTUp=1\r\n", {tup, {"other", "TUp"}}},
    };
    return shapes;
}

class ProfileRead : public testing::TestWithParam<ReadShape>
{
};

TEST_P(ProfileRead, ReadsTheSameAsTheSystem)
{
    test::TempFolder folder;
    const std::string file = freshFile(folder);
    test::WriteWhole(file, GetParam().bytes);
    const ProfileFile profile(GetParam().bytes);
    for (const Query& q : GetParam().queries) {
        EXPECT_EQ(profile.readString(q.section, q.key, kMissing), systemRead(file, q))
            << "[" << q.section << "] " << q.key;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ProfileRead, testing::ValuesIn(readShapes()),
                         [](const testing::TestParamInfo<ReadShape>& info) {
                             return std::string(info.param.name);
                         });

// Windows matches names with the locale's case rules; Wine folds only A to Z. The program's
// reader does what Windows does, so this shape is checked on its own.
TEST(ProfileRead, AccentedLettersInNamesMatchWithoutRegardToCase)
{
    const ProfileFile profile("[data]\r\n\xC4ndern=1\r\n");
    EXPECT_EQ(profile.readString("DATA", "\xE4NDERN", kMissing), "1");
}

TEST(ProfileRead, AMissingFileReadsLikeAnEmptyOne)
{
    test::TempFolder folder;
    const Query q{"DATA", "TUp"};
    EXPECT_EQ(ProfileFile().readString(q.section, q.key, kMissing), systemRead(folder.file("none.ini"), q));
}

struct Write
{
    std::string section;
    std::string key;
    std::string value;
};

struct WriteShape
{
    const char* name;
    std::string bytes;
    std::vector<Write> writes;
};

std::vector<WriteShape> writeShapes()
{
    return {
        {"SaveIntoTheDefaultFile",
         kDefaultFile,
         {{"DATA", "oTA", "5:7:9"},
          {"DATA", "oTD", "0:1:2"},
          {"DATA", "SD", "09.12.2026"},
          {"DATA", "TYP", "2"},
          {"DATA", "RD", "01.12.2026"},
          {"DATA", "TUp", "4509715660,8"},
          {"DATA", "TDown", "123456789"},
          {"DATA", "onLAN", "1"},
          {"DATA", "BIn", "1"},
          {"DATA", "BOut", "0"},
          {"DATA", "MINI", "1"},
          {"DATA", "BEENDEN", "1"},
          {"DATA", "X", "-20"},
          {"DATA", "Y", "300"}}},
        {"KeyKeepsItsSpelling", "[data]\r\nTup=0\r\n", {{"DATA", "TUp", "5"}}},
        {"MissingKeyGoesToTheEndOfItsSection", "[data]\r\nA=1\r\n[other]\r\nB=2\r\n", {{"DATA", "C", "3"}}},
        {"MissingSectionGoesToTheEnd", "[other]\r\nB=2\r\n", {{"DATA", "TUp", "1"}}},
        {"IntoAnEmptyFile", "", {{"DATA", "TUp", "1"}, {"DATA", "TDown", "2"}}},
        {"ValueWithInnerBlanks", "[data]\r\nRD=x\r\n", {{"DATA", "RD", "a b  c"}}},
        {"EmptyValue", "[data]\r\nRD=x\r\n", {{"DATA", "RD", ""}, {"DATA", "SD", ""}}},
        {"FirstOfDuplicateKeysIsUpdated", "[data]\r\nTUp=1\r\nTUP=2\r\n", {{"DATA", "tup", "9"}}},
        {"SectionNameCaseDiffers", "[DaTa]\r\nTUp=1\r\n", {{"data", "TUp", "2"}, {"DATA", "New", "3"}}},
        {"LfFile", "[data]\nTUp=1\nTDown=2\n", {{"DATA", "TUp", "3"}, {"DATA", "X", "4"}}},
        {"NoFinalLineEnd", "[data]\r\nA=1", {{"DATA", "B", "2"}, {"DATA", "A", "3"}}},
        {"BlanksAroundTheOldLine", "[data]\r\n  TUp  =  7  \r\n", {{"DATA", "TUp", "8"}}},
        {"QuotedValueReplaced", "[data]\r\nTUp=\"7\"\r\n", {{"DATA", "TUp", "8"}}},
        {"RepeatedWrites",
         "[data]\r\nTUp=0\r\n",
         {{"DATA", "TUp", "1"}, {"DATA", "TUp", "22"}, {"DATA", "TUp", "3"}}},
        {"SectionEndsWithBlankLines", "[data]\r\nA=1\r\n\r\n\r\n[other]\r\nB=2\r\n", {{"DATA", "C", "3"}}},
        {"DuplicateSections", "[data]\r\nA=1\r\n[other]\r\n[data]\r\nB=2\r\n", {{"DATA", "B", "5"}}},
    };
}

// Lines as a reader sees them: blanks around names and values and empty lines do not matter.
std::vector<std::string> meaningfulLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    auto trim = [](std::string t) {
        const auto first = t.find_first_not_of(" \t\r");
        const auto last = t.find_last_not_of(" \t\r");
        return first == std::string::npos ? std::string() : t.substr(first, last - first + 1);
    };
    for (std::string line; std::getline(in, line);) {
        line = trim(line);
        const auto equals = line.find('=');
        if (equals != std::string::npos) {
            line = trim(line.substr(0, equals)) + "=" + trim(line.substr(equals + 1));
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

class ProfileWrite : public testing::TestWithParam<WriteShape>
{
};

TEST_P(ProfileWrite, WritesTheSameLinesAsTheSystem)
{
    test::TempFolder folder;
    const std::string file = freshFile(folder);
    test::WriteWhole(file, GetParam().bytes);
    ProfileFile profile(GetParam().bytes);
    for (const Write& w : GetParam().writes) {
        ASSERT_TRUE(
            WritePrivateProfileStringA(w.section.c_str(), w.key.c_str(), w.value.c_str(), file.c_str()));
        profile.writeString(w.section, w.key, w.value);
    }
    const std::string written = test::ReadWhole(file);
    EXPECT_EQ(meaningfulLines(profile.bytes()), meaningfulLines(written)) << "system wrote:\n" << written;
    for (const Write& w : GetParam().writes) {
        const Query q{w.section, w.key};
        EXPECT_EQ(ProfileFile(profile.bytes()).readString(q.section, q.key, kMissing), systemRead(file, q));
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ProfileWrite, testing::ValuesIn(writeShapes()),
                         [](const testing::TestParamInfo<WriteShape>& info) {
                             return std::string(info.param.name);
                         });

// The one difference chosen on purpose: the program edits the line in place and keeps every
// other line as it was, blank lines and the header included, as Windows itself does. Wine's
// profile functions rewrite the whole file and drop the blank lines.
TEST(ProfileWrite, KeepsBlankLinesAndUntouchedLinesByteForByteWhereWineRewritesTheFile)
{
    test::TempFolder folder;
    const std::string file = freshFile(folder);
    test::WriteWhole(file, kDefaultFile);
    ProfileFile profile(kDefaultFile);
    ASSERT_TRUE(WritePrivateProfileStringA("DATA", "TUp", "12", file.c_str()));
    profile.writeString("DATA", "TUp", "12");

    std::string expected = kDefaultFile;
    expected.replace(expected.find("Tup=0"), 5, "Tup=12");
    EXPECT_EQ(profile.bytes(), expected);

    const std::string system = test::ReadWhole(file);
    EXPECT_EQ(system.find("\r\n\r\n"), std::string::npos) << "Wine kept the blank line after all";
    EXPECT_EQ(meaningfulLines(system), meaningfulLines(expected));
}

} // namespace
} // namespace tavlor
