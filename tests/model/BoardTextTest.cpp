#include "model/BoardText.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(BoardText, PadFieldCentresOneCharacterAndRightAlignsTwo)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"", L""}, {L"7", L" 7 "}, {L"-", L" - "}, {L"12", L" 12"}, {L"123", L"123"}, {L"1234", L"1234"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(PadField(in), out) << "length " << in.size();
}

TEST(BoardText, FormatNumberFieldGivesThreeColumnsUpTo999)
{
    const std::pair<unsigned, std::wstring> cases[] = {
        {0, L" 0 "}, {7, L" 7 "}, {12, L" 12"}, {100, L"100"}, {150, L"150"}, {1000, L"1000"},
    };
    for (const auto& [n, out] : cases) EXPECT_EQ(FormatNumberField(n), out) << n;
}
