#include "tools/console/Utf8Input.h"

#include "tools/console/ConsoleInput.h"

#include <gtest/gtest.h>

#include <istream>
#include <string>
#include <vector>

using namespace Marevane;

namespace {

const std::wstring Bad(1, BadInputMark);

std::wstring Decoded(const std::string& bytes, bool final = true)
{
    std::wstring out;
    EXPECT_EQ(DecodeUtf8(bytes, final, out), bytes.size());
    return out;
}

} // namespace

TEST(Utf8Input, DecodesValidSequencesAndMarksEveryBadOne)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"a 1 n 1", L"a 1 n 1"},
        {"\xE3\x81\x82", L"あ"},
        {"\xC3\xA4", L"ä"},
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"\xFF", Bad},
        {"a\xFE"
         "b",
         L"a" + Bad + L"b"},
        {"\x80", Bad},                               // a continuation without a start
        {"\xC0\xAF", Bad + Bad},                     // overlong '/'
        {"\xE0\x80\x80", Bad + Bad + Bad},           // overlong NUL
        {"\xED\xA0\x80", Bad + Bad + Bad},           // a UTF-16 surrogate
        {"\xF4\x90\x80\x80", Bad + Bad + Bad + Bad}, // beyond U+10FFFF
        {"\xE3\x81"
         "A",
         Bad + L"A"},      // cut short: one mark for the start
        {"\xE3\x81", Bad}, // cut short by the end of the input
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(Decoded(bytes), expected) << bytes.size();
}

TEST(Utf8Input, KeepsAnIncompleteSequenceForTheNextBytes)
{
    std::wstring out;
    EXPECT_EQ(DecodeUtf8("a\xE3\x81", false, out), 1u);
    EXPECT_EQ(out, L"a");
    out.clear();
    EXPECT_EQ(DecodeUtf8("\xF0\x9F", false, out), 0u);
    EXPECT_EQ(out, L"");
}

// Bytes come one at a time, as a slow terminal may give them: characters
// split over reads stay whole, and a bad line is followed by the next one.
TEST(Utf8Input, AStreamReadsOnPastABadLine)
{
    const std::string bytes = "yes\n\xFF\xFE"
                              "no\n\xE3\x81\x82\n\xE3";
    std::size_t at = 0;
    CUtf8InputBuffer buffer([&](char* out, std::size_t size) -> std::size_t {
        if (at == bytes.size() || size == 0) return 0;
        *out = bytes[at++];
        return 1;
    });
    std::wistream in(&buffer);
    std::vector<std::wstring> lines;
    for (std::wstring line; std::getline(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"yes", Bad + Bad + L"no", L"あ", Bad}));
}
