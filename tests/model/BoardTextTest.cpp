#include "model/BoardText.h"

#include "model/Board.h"

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

TEST(BoardText, ConsoleWidthCountsFullWidthAndBoardSymbolsTwice)
{
    const std::pair<std::wstring, std::size_t> cases[] = {
        {L"", 0},       {L"B1 ", 3},    {L"\u3000", 2}, {L"Ｂ１", 4}, {L"あア漢", 6},     {L"■□◆≡◎△", 12},
        {L"┌─┬│┘", 10}, {L"＄$＊*", 6}, {L"\t\n", 0},   {L"한", 2},   {L"\U00020B9F", 2}, {L"é", 1},
    };
    for (const auto& [text, width] : cases) EXPECT_EQ(ConsoleWidth(text), width) << "length " << text.size();
}

namespace {

std::vector<std::wstring> SplitLines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(start, text.size()) << "text does not end with a line end";
    return lines;
}

std::wstring BoardText(std::uint32_t rows, std::uint32_t columns)
{
    CBoard board;
    board.Resize(rows, columns);
    std::wstring text = L"left over";
    board.ToText(text);
    return text;
}

} // namespace

TEST(BoardText, FiveByFiveBoardMatchesTheGoldenText)
{
    const std::wstring cell = L"｜\u3000\u3000";
    const std::wstring cells = cell + cell + cell + cell + cell + L"｜";
    const std::wstring expected = L"      C1    C2    C3    C4    C5     \n"
                                  L"   ┌──┬──┬──┬──┬──┐  N       Panel Effect\n"
                                  L" R1" +
                                  cells +
                                  L"W + E  ◆=Reef ≡=Shallows\n"
                                  L"   ├──┼──┼──┼──┼──┤  S    ◎=Fog  △=High Wave\n"
                                  L" R2" +
                                  cells +
                                  L"\n"
                                  L"   ├──┼──┼──┼──┼──┤  Command List & FP Cost\n"
                                  L" R3" +
                                  cells +
                                  L" m=Move a=Attack t=Torpedo\n"
                                  L"   ├──┼──┼──┼──┼──┤ i=Mine r=Resign f=Reinforce\n"
                                  L" R4" +
                                  cells +
                                  L" [B] m:16-36FP a:10FP t: - \n"
                                  L"   ├──┼──┼──┼──┼──┤ [D] m: 8-18FP a:12FP t:20FP\n"
                                  L" R5" +
                                  cells +
                                  L" [S] m:10-10FP a:16FP t:20FP\n"
                                  L"   └──┴──┴──┴──┴──┘ [O] m:10-10FP a:50FP t: - \n";
    const std::wstring text = BoardText(5, 5);
    EXPECT_EQ(SplitLines(text).size(), 12u);
    EXPECT_EQ(text, expected);
}

TEST(BoardText, LegendRunsDownToTheSixthRowFrame)
{
    // What each line ends with after its grid part, for 5, 6 and 7 rows.
    struct Case {
        std::uint32_t rows;
        std::vector<std::wstring> tails;
    };
    const std::wstring a0 = L"  N       Panel Effect", a1 = L"W + E  ◆=Reef ≡=Shallows",
                       a2 = L"  S    ◎=Fog  △=High Wave";
    const std::wstring b1 = L"  Command List & FP Cost", b2 = L" m=Move a=Attack t=Torpedo",
                       b3 = L" i=Mine r=Resign f=Reinforce", b4 = L" [B] m:16-36FP a:10FP t: - ",
                       b5 = L" [D] m: 8-18FP a:12FP t:20FP", b6 = L" [S] m:10-10FP a:16FP t:20FP",
                       b7 = L" [O] m:10-10FP a:50FP t: - ";
    const Case cases[] = {
        {5, {L"", a0, a1, a2, L"", b1, b2, b3, b4, b5, b6, b7}},
        {6, {L"", a0, a1, a2, L"", b1, b2, b3, b4, b5, b6, b7, L"", L""}},
        {7, {L"", a0, a1, a2, L"", b1, b2, b3, b4, b5, b6, b7, L"", L"", L"", L""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        const std::vector<std::wstring> lines = SplitLines(BoardText(c.rows, 4));
        ASSERT_EQ(lines.size(), 2 * c.rows + 2);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(i);
            const std::wstring& line = lines[i];
            // The grid part ends with the last frame or cell character.
            const std::size_t gridEnd = line.find_last_of(L"┐┤┘｜") + 1;
            if (i == 0) {
                EXPECT_EQ(line.substr(line.size() - 5), L"     ");
                continue;
            }
            ASSERT_NE(gridEnd, 0u);
            EXPECT_EQ(line.substr(gridEnd), c.tails[i]);
        }
    }
}

TEST(BoardText, EveryCellIsTheGlyphBetweenBars)
{
    CBoard board;
    board.Resize(3, 11);
    std::vector<MapPos> asked;
    std::wstring text;
    board.RenderText(text, [&asked](CPanel* panel) {
        asked.push_back(panel->GetPos());
        return std::wstring(L"Ｂ１");
    });

    // Called once per sea panel, row by row.
    ASSERT_EQ(asked.size(), 33u);
    for (std::size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i], MapPos(i / 11 + 1, i % 11 + 1));

    const std::vector<std::wstring> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 8u);
    // Two-digit column labels make the header longer by one per label.
    EXPECT_EQ(lines[0], L"      C1    C2    C3    C4    C5    C6    C7    C8    C9    C10    C11     ");
    std::wstring cells;
    for (int i = 0; i < 11; ++i) cells += L"｜Ｂ１";
    cells += L"｜";
    for (std::uint32_t row = 1; row <= 3; ++row) {
        EXPECT_EQ(lines[2 * row].substr(0, 3 + cells.size()), L" R" + std::to_wstring(row) + cells);
    }
}

TEST(BoardText, ToTextFillsEveryCellWithTwoFullWidthSpaces)
{
    for (std::uint32_t size : {3u, 5u, 9u}) {
        const std::vector<std::wstring> lines = SplitLines(BoardText(size, size));
        for (std::uint32_t row = 1; row <= size; ++row) {
            const std::wstring& line = lines[2 * row];
            std::size_t bars = 0;
            for (std::size_t at = line.find(L'｜'); at != std::wstring::npos; at = line.find(L'｜', at + 1)) {
                ++bars;
                if (bars <= size) {
                    EXPECT_EQ(line.substr(at + 1, 2), L"\u3000\u3000") << size << ' ' << row;
                }
            }
            EXPECT_EQ(bars, size + 1);
        }
    }
}
