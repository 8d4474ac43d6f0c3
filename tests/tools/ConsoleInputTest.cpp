#include "tools/console/ConsoleInput.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>

using namespace Marevane;

namespace {

const std::wstring AnswerAgain = L"入力が正しくありません。再入力してください。（yes or no）\n";
const std::wstring NameTooLong = L"文字数が超過しています。再入力してください。\n";
const std::wstring NameRefused = L"この名前は使えません。再入力してください。\n";
const std::wstring BadLine = L"UTF-8 の文字として読めない入力がありました（\uFFFD の所）: ";

std::size_t CountOf(const std::wstring& text, const std::wstring& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

struct ParseCase {
    const wchar_t* line;
    std::uint32_t command, ship, direction, distance, row, column;
    const wchar_t* text;
};

} // namespace

TEST(ConsoleInput, ParseCommandTextFollowsTheTypedGrammar)
{
    const ParseCase cases[] = {
        // line                   cmd ship dir dist row col text
        {L"a 2 ne 1", 1, 2, 5, 1, 0, 0, L""},
        {L"m 1 ne 3", 2, 1, 0, 3, 0, 0, L""}, // moves know only n, e, w, s
        {L"m 1 s 3", 2, 1, 4, 3, 0, 0, L""},
        {L"i 3 c 1", 3, 3, 9, 1, 0, 0, L""},
        {L"a 3 c 1", 1, 3, 0, 1, 0, 0, L""},
        {L"a 1 N 1", 1, 1, 0, 1, 0, 0, L""}, // direction words are lower case only
        {L"t 1 4 5", 4, 1, 0, 0, 4, 5, L""},
        {L"f 2 3 1", 5, 2, 0, 0, 3, 1, L""},
        {L"t 1 n 5", 4, 1, 0, 0, 0, 5, L""}, // a non-numeric row is a direction word, unused
        {L"r I give up", 7, 0, 0, 0, 0, 0, L"I give up"},
        {L"r 1 n 2", 7, 0, 0, 0, 0, 0, L"1 n 2"}, // nothing after the word is parsed
        {L"r", 7, 0, 0, 0, 0, 0, L""},
        {L"r ", 7, 0, 0, 0, 0, 0, L""},
        {L"p 1", 0, 1, 0, 0, 0, 0, L""}, // pass and refuel have no letter
        {L"g 1", 0, 1, 0, 0, 0, 0, L""},
        {L"A 1 n 1", 0, 1, 0, 1, 0, 0, L""},  // upper case is not folded here
        {L"a  2 n 1", 1, 0, 0, 0, 0, 0, L""}, // two blanks: word 1 is empty
        {L"", 0, 0, 0, 0, 0, 0, L""},
        {L"a", 1, 0, 0, 0, 0, 0, L""},
        {L"a 1a n 2x", 1, 1, 1, 2, 0, 0, L""}, // leading digits count
        {L"a 9 n 1", 1, 9, 1, 1, 0, 0, L""},
        {L"a 95 n 1", 1, 0, 1, 1, 0, 0, L""}, // "95" sorts after "9": not a number word
        {L"a 1 n 1 extra words", 1, 1, 1, 1, 0, 0, L""},
        {L"l 2", 8, 2, 0, 0, 0, 0, L""},
        {L"l 2 3 4", 8, 2, 0, 0, 3, 4, L""}, // new flagship named by its panel
        // numbers are bounded: nothing may walk a huge offset
        {L"m 1 s 123456789012", 2, 1, 4, 999, 0, 0, L""},
        {L"t 1 4294967297 1000", 4, 1, 0, 0, 999, 999, L""},
        {L"a 8888 n 1", 1, 999, 1, 1, 0, 0, L""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << std::string(c.line, c.line + std::wcslen(c.line)) << '"');
        const CommandInput input = ParseCommandText(c.line);
        EXPECT_EQ(input.Command, c.command);
        EXPECT_EQ(input.UnitId, 0u);
        EXPECT_EQ(input.ShipId, c.ship);
        EXPECT_EQ(input.ShipType, 0u);
        EXPECT_EQ(input.Direction, c.direction);
        EXPECT_EQ(input.Distance, c.distance);
        EXPECT_EQ(input.Target, MapPos(c.row, c.column));
        EXPECT_EQ(input.Text, c.text);
    }
}

TEST(ConsoleInput, IsNumberTokenComparesTheWholeWordWithZeroAndNine)
{
    const std::pair<std::wstring, bool> cases[] = {
        {L"0", true},  {L"7", true},   {L"9", true},   {L"19", true},
        {L"8x", true}, {L"95", false}, {L"90", false}, {L"", false},
        {L"a", false}, {L"-1", false}, {L" 1", false}, {L"１", false}, // full-width digit
    };
    for (const auto& [word, expected] : cases) EXPECT_EQ(IsNumberToken(word), expected) << word.size();
}

TEST(ConsoleInput, AskYesNoFoldsLetterCase)
{
    const std::pair<std::wstring, bool> cases[] = {
        {L"YES\n", true}, {L"Y\n", true}, {L"yes\n", true},
        {L"No\n", false}, {L"n", false},  {L"  nO  \n", false},
    };
    for (const auto& [typed, expected] : cases) {
        std::wistringstream in(typed);
        std::wostringstream out;
        EXPECT_EQ(AskYesNo(L"Sure?", in, out), expected) << typed.size();
        EXPECT_EQ(out.str(), L"Sure?\n");
    }
}

TEST(ConsoleInput, AskYesNoAsksAgainAfterAnUnknownAnswer)
{
    std::wistringstream in(L"ok\nyes\n");
    std::wostringstream out;
    EXPECT_TRUE(AskYesNo(L"Sure?", in, out));
    EXPECT_EQ(out.str(), L"Sure?\n" + AnswerAgain + L"Sure?\n");
}

TEST(ConsoleInput, AskYesNoDropsWordsTypedAheadOnTheAnswerLine)
{
    std::wistringstream in(L"yes no no\nno\n");
    std::wostringstream out;
    EXPECT_TRUE(AskYesNo(L"", in, out));
    EXPECT_FALSE(AskYesNo(L"", in, out));
    EXPECT_THROW(AskYesNo(L"", in, out), CConsoleInputEnded);
}

TEST(ConsoleInput, AskYesNoSkipsTheLineOfAnEarlierFailedRead)
{
    std::wistringstream in(L"abc yes\nno\n");
    int number = 0;
    in >> number; // someone else's number read fails on "abc"
    ASSERT_TRUE(in.fail());
    std::wostringstream out;
    EXPECT_FALSE(AskYesNo(L"", in, out));
}

TEST(ConsoleInput, AskYesNoStopsAtTheEndOfInput)
{
    for (const std::wstring typed : {L"", L"   \n", L"ok\n", L"ok\nmaybe"}) {
        std::wistringstream in(typed);
        std::wostringstream out;
        EXPECT_THROW(AskYesNo(L"Sure?", in, out), CConsoleInputEnded) << typed.size();
        // one prompt per answer read, never a loop
        EXPECT_EQ(CountOf(out.str(), L"Sure?\n"), 1 + CountOf(out.str(), AnswerAgain));
        EXPECT_LE(CountOf(out.str(), AnswerAgain), 2u);
    }
}

TEST(ConsoleInput, AskPlayerNameTakesSeventeenCharactersAndRefusesEighteen)
{
    const std::wstring name17 = L"あいうえおかきくけこさしすせそたち";
    const std::wstring name18 = name17 + L"つ";
    ASSERT_EQ(name17.size(), 17u);

    std::wistringstream in(name18 + L"\n" + name17 + L"\nYes\n");
    std::wostringstream out;
    EXPECT_EQ(AskPlayerName(in, out), name17);
    EXPECT_EQ(out.str(), L"プレイヤー名を入力してください。\n" + NameTooLong +
                             L"プレイヤー名を入力してください。\n"
                             L"プレイヤー名は「" +
                             name17 +
                             L"」でよろしいでしょうか？（yes or no）\n"
                             L"（Notice: 以後タイトル画面に戻るまで変更はできません！）\n");
}

TEST(ConsoleInput, AskPlayerNameStartsOverWhenTheNameIsNotConfirmed)
{
    std::wistringstream in(L"Alice\nno\nBob\ny\n");
    std::wostringstream out;
    EXPECT_EQ(AskPlayerName(in, out), L"Bob");
    EXPECT_EQ(CountOf(out.str(), L"プレイヤー名を入力してください。\n"), 2u);
}

TEST(ConsoleInput, AskPlayerNameStopsAtTheEndOfInput)
{
    for (const std::wstring typed : {L"", L"Alice\n", L"Alice\nno\n"}) {
        std::wistringstream in(typed);
        std::wostringstream out;
        EXPECT_THROW(AskPlayerName(in, out), CConsoleInputEnded) << typed.size();
    }
}

TEST(ConsoleInput, ReadLowerCaseLineFoldsAsciiLettersOnly)
{
    std::wistringstream in(L"B 3 7\r\nÄＡ Xyz\nlast");
    EXPECT_EQ(ReadLowerCaseLine(in, std::wcout), L"b 3 7");
    EXPECT_EQ(ReadLowerCaseLine(in, std::wcout), L"ÄＡ xyz");
    EXPECT_EQ(ReadLowerCaseLine(in, std::wcout), L"last");
    EXPECT_THROW(ReadLowerCaseLine(in, std::wcout), CConsoleInputEnded);
}

TEST(ConsoleInput, ReadCommandLineCutsLongLinesToTwentyThreeCharacters)
{
    const std::wstring line = L"r 1234567890123456789012345678";
    ASSERT_EQ(line.size(), 30u);
    std::wistringstream in(line + L"\nm 1 n 2\n");
    std::wostringstream out;
    EXPECT_EQ(ReadCommandLine(51, in, out), L"r 123456789012345678901");
    EXPECT_EQ(ReadCommandLine(51, in, out), L"m 1 n 2");
    EXPECT_EQ(out.str(), L"コマンドを入力してください。\nコマンドを入力してください。\n");
    EXPECT_THROW(ReadCommandLine(51, in, out), CConsoleInputEnded);
}

TEST(ConsoleInput, ReadCommandLineAsksForReentryAfterARefusedCommand)
{
    const std::pair<MessageCode, std::wstring> cases[] = {
        {51, L"コマンドを入力してください。\n"},   {87, L"コマンドを入力してください。\n"},
        {119, L"コマンドを入力してください。\n"}, // refused change of flagship is logged, not a failure
        {97, L"コマンドを再入力してください。\n"}, {95, L"コマンドを再入力してください。\n"},
    };
    for (const auto& [code, prompt] : cases) {
        std::wistringstream in(L"a 1 n 1\n");
        std::wostringstream out;
        EXPECT_EQ(ReadCommandLine(code, in, out), L"a 1 n 1");
        EXPECT_EQ(out.str(), prompt) << code;
    }
}

// Bytes that were no UTF-8 reach these functions as BadInputMark: the line
// is shown back and asked for again, and the input goes on.
TEST(ConsoleInput, ALineThatWasNotUtf8IsShownAndAskedAgain)
{
    {
        std::wistringstream in(L"y\uFFFDs\nyes\n");
        std::wostringstream out;
        EXPECT_TRUE(AskYesNo(L"Sure?", in, out));
        EXPECT_EQ(out.str(), L"Sure?\n" + BadLine + L"y\uFFFDs\n再入力してください。\n");
    }
    {
        std::wistringstream in(L"a 1 \uFFFD 1\nm 1 n 2\n");
        std::wostringstream out;
        EXPECT_EQ(ReadCommandLine(51, in, out), L"m 1 n 2");
        EXPECT_EQ(out.str(), L"コマンドを入力してください。\n" + BadLine +
                                 L"a 1 \uFFFD 1\n再入力してください。\nコマンドを入力してください。\n");
    }
    {
        std::wistringstream in(L"2\uFFFD\n23\n");
        std::wostringstream out;
        EXPECT_EQ(ReadLowerCaseLine(in, out), L"23");
        EXPECT_EQ(CountOf(out.str(), BadLine), 1u);
    }
}

TEST(ConsoleInput, AskPlayerNameRefusesControlCharacters)
{
    const std::wstring names[] = {L"a\x01b", std::wstring(L"ab\0c", 4), L"a\x1b[2J", L"del\x7f", L"c1\x9b"};
    for (const std::wstring& name : names) {
        std::wistringstream in(name + L"\nBob\ny\n");
        std::wostringstream out;
        EXPECT_EQ(AskPlayerName(in, out), L"Bob") << name.size();
        EXPECT_EQ(CountOf(out.str(), NameRefused), 1u);
        EXPECT_EQ(out.str().find(name), std::wstring::npos) << "the name was shown back";
    }
}
