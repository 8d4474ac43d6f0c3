#include "model/TextUtil.h"

#include <gtest/gtest.h>

using namespace Marevane;

TEST(TextUtil, Pow10ByRepeatedSquaring)
{
    EXPECT_EQ(Pow10(0), 1u);
    EXPECT_EQ(Pow10(1), 10u);
    EXPECT_EQ(Pow10(5), 100000u);
    EXPECT_EQ(Pow10(9), 1000000000u);
    EXPECT_EQ(Pow10(10), 1410065408u); // 10^10 mod 2^32
}

TEST(TextUtil, HalfWidth)
{
    EXPECT_EQ(ToHalfWidth(L"\uFF21\uFF22\uFF11\uFF12\u3000\uFF01"), L"AB12 !");
    EXPECT_EQ(ToHalfWidth(L"\uFF02"), L"\uFF02"); // full-width quotation mark stays
    EXPECT_EQ(ToHalfWidth(L"\uFF41\uFF5A\uFF10\uFF19\uFF3A"), L"az09Z");
    EXPECT_EQ(ToHalfWidth(L"\u2019\uFFE5\u2018"), L"'\\`");
    EXPECT_EQ(ToHalfWidth(L"\uFF03\uFF04\uFF05\uFF06\uFF08\uFF09\uFF0A\uFF0B\uFF0C\uFF0D\uFF0E\uFF0F"),
              L"#$%&()*+,-./");
    EXPECT_EQ(
        ToHalfWidth(L"\uFF1A\uFF1B\uFF1C\uFF1D\uFF1E\uFF1F\uFF20\uFF3B\uFF3D\uFF3E\uFF3F\uFF5B\uFF5C\uFF5D"),
        L":;<=>?@[]^_{|}");
    // Not among the converted symbols: ' \ ` ~ in full width, kana, plain ASCII.
    EXPECT_EQ(ToHalfWidth(L"\uFF07\uFF3C\uFF40\uFF5E\u30A2abc"), L"\uFF07\uFF3C\uFF40\uFF5E\u30A2abc");
}

TEST(TextUtil, PadNarrowText)
{
    EXPECT_EQ(PadNarrowText(L"AB"), L"AB  ");
    EXPECT_EQ(PadNarrowText(L"\u6226\u8266"), L"\u6226\u8266");
    EXPECT_EQ(PadNarrowText(L"\uFF71x\u6226"), L"\uFF71x\u6226  "); // half-width katakana is narrow
    EXPECT_EQ(PadNarrowText(L""), L"");
}

TEST(TextUtil, Utf16RoundTripOutsideTheBasicPlane)
{
    const std::wstring wide = L"COM\U0001F6A2\u8266\U00020BB7";
    const std::u16string utf16 = ToU16String(wide);
    EXPECT_EQ(utf16, u"COM\U0001F6A2\u8266\U00020BB7");
    EXPECT_EQ(utf16.size(), 8u); // two pairs
    EXPECT_EQ(ToWString(utf16), wide);
    EXPECT_EQ(ToWString(u"\U0001F6A2").size(), 1u);

    // A lone surrogate survives the trip; a value beyond Unicode does not.
    const std::u16string lone = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(ToU16String(ToWString(lone)), lone);
    EXPECT_EQ(ToU16String(std::wstring(1, static_cast<wchar_t>(0x110000))), u"\uFFFD");
}

TEST(TextUtil, NumberText)
{
    EXPECT_EQ(NumberText(0), u"0");
    EXPECT_EQ(NumberText(17), u"17");
    EXPECT_EQ(NumberText(4294967295u), u"4294967295");
}

TEST(TextUtil, Utf8BothWays)
{
    const std::wstring wide = L"R1C2 \u6226\u8266 \U0001F6A2";
    const std::string utf8 = ToUtf8(wide);
    EXPECT_EQ(utf8, "R1C2 \xE6\x88\xA6\xE8\x89\xA6 \xF0\x9F\x9A\xA2");
    EXPECT_EQ(Utf8ToWString(utf8), wide);
    EXPECT_EQ(ToUtf8(ToU16String(wide)), utf8);
    EXPECT_EQ(Utf8ToU16String(utf8), ToU16String(wide));

    // Malformed input: a stray continuation byte, a cut sequence, an overlong
    // form and an encoded surrogate each give one replacement character.
    EXPECT_EQ(Utf8ToWString("a\x80z"), L"a\uFFFDz");
    EXPECT_EQ(Utf8ToWString("a\xE6\x88"), L"a\uFFFD");
    EXPECT_EQ(Utf8ToWString("\xC0\xAFx"), L"\uFFFDx");
    EXPECT_EQ(Utf8ToWString("\xED\xA0\x80"), L"\uFFFD");
    EXPECT_EQ(ToUtf8(std::u16string(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
}
