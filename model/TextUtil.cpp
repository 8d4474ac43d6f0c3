#include "model/TextUtil.h"

#include <algorithm>

namespace Marevane {

namespace {

constexpr char32_t Replacement = 0xFFFD;

bool IsHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// A wide character as a code point: the 4-byte wchar_t may hold anything.
char32_t CodePointOf(wchar_t c)
{
    const auto value = static_cast<std::uint32_t>(c);
    return value > 0x10FFFF ? Replacement : static_cast<char32_t>(value);
}

void AppendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (IsSurrogate(c) || c > 0x10FFFF) c = Replacement;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Calls emit for every code point of UTF-16 text; a lone surrogate is kept
// as it stands, so that a round trip through wide text loses nothing.
template <typename Emit> void DecodeUtf16(const std::u16string& text, Emit emit)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            emit(0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            emit(c);
        }
    }
}

// Calls emit for every code point of UTF-8 text; each malformed sequence,
// overlong form, surrogate or value beyond U+10FFFF gives one U+FFFD.
template <typename Emit> void DecodeUtf8(const std::string& text, Emit emit)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            emit(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07;
            minimum = 0x10000;
        } else {
            emit(Replacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        while (taken < length && i + taken < size &&
               (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
            ++taken;
        }
        if (taken < length || c < minimum || c > 0x10FFFF || IsSurrogate(c)) c = Replacement;
        emit(c);
        i += taken;
    }
}

} // namespace

std::uint32_t Pow10(std::uint32_t n)
{
    std::uint32_t result = 1;
    std::uint32_t base = 10;
    while (n > 0) {
        if (n & 1u) result *= base;
        base *= base;
        n >>= 1;
    }
    return result;
}

std::wstring ToHalfWidth(const std::wstring& text)
{
    static const std::wstring symbols = L"!#$%&()*+,-./:;<=>?@[]^_{|}";
    std::wstring result = text;
    for (wchar_t& c : result) {
        const auto value = static_cast<std::uint32_t>(c);
        if ((value >= 0xFF10 && value <= 0xFF19) || (value >= 0xFF21 && value <= 0xFF3A) ||
            (value >= 0xFF41 && value <= 0xFF5A)) {
            c = static_cast<wchar_t>(value - 0xFEE0);
        } else if (value >= 0xFF01 && value <= 0xFF5E &&
                   symbols.find(static_cast<wchar_t>(value - 0xFEE0)) != std::wstring::npos) {
            c = static_cast<wchar_t>(value - 0xFEE0);
        } else if (value == 0x3000) {
            c = L' ';
        } else if (value == 0x2019) {
            c = L'\'';
        } else if (value == 0xFFE5) {
            c = L'\\';
        } else if (value == 0x2018) {
            c = L'`';
        }
    }
    return result;
}

std::wstring PadNarrowText(const std::wstring& text)
{
    const auto narrow = std::count_if(text.begin(), text.end(), [](wchar_t c) {
        const auto value = static_cast<std::uint32_t>(c);
        return (value >= 0x20 && value <= 0x7E) || (value >= 0xFF66 && value <= 0xFF9D);
    });
    return text + std::wstring(static_cast<std::size_t>(narrow), L' ');
}

std::u16string ToU16String(const std::wstring& text)
{
    std::u16string result;
    result.reserve(text.size());
    for (wchar_t c : text) AppendUtf16(result, CodePointOf(c));
    return result;
}

std::wstring ToWString(const std::u16string& text)
{
    std::wstring result;
    result.reserve(text.size());
    DecodeUtf16(text, [&result](char32_t c) { result.push_back(static_cast<wchar_t>(c)); });
    return result;
}

std::u16string NumberText(std::uint32_t n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::string ToUtf8(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text) AppendUtf8(result, CodePointOf(c));
    return result;
}

std::string ToUtf8(const std::u16string& text)
{
    std::string result;
    result.reserve(text.size());
    DecodeUtf16(text, [&result](char32_t c) { AppendUtf8(result, c); });
    return result;
}

std::wstring Utf8ToWString(const std::string& text)
{
    std::wstring result;
    result.reserve(text.size());
    DecodeUtf8(text, [&result](char32_t c) { result.push_back(static_cast<wchar_t>(c)); });
    return result;
}

std::u16string Utf8ToU16String(const std::string& text)
{
    std::u16string result;
    result.reserve(text.size());
    DecodeUtf8(text, [&result](char32_t c) { AppendUtf16(result, c); });
    return result;
}

} // namespace Marevane
