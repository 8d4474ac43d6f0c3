// Text helpers for names, the console and files. std::wstring holds one
// character per element (4 bytes here); network records and files use
// UTF-16 or UTF-8, converted here with surrogate pairs both ways.
#pragma once

#include <cstdint>
#include <string>

namespace Marevane {

// 10 to the n, wrapping on overflow.
std::uint32_t Pow10(std::uint32_t n);

// Full-width digits, letters and common symbols, the ideographic space and
// the curly quotes become ASCII; everything else is kept.
std::wstring ToHalfWidth(const std::wstring& text);

// Adds a space per narrow character, so that in the console the text is as
// wide as if every character were full-width.
std::wstring PadNarrowText(const std::wstring& text);

// Characters outside the Basic Multilingual Plane become surrogate pairs and
// back; a lone surrogate is kept as it stands, a value beyond U+10FFFF
// becomes U+FFFD.
std::u16string ToU16String(const std::wstring& text);
std::wstring ToWString(const std::u16string& text);

std::u16string NumberText(std::uint32_t n);

// UTF-8 for files; malformed input becomes U+FFFD, never a crash.
std::string ToUtf8(const std::wstring& text);
std::string ToUtf8(const std::u16string& text);
std::wstring Utf8ToWString(const std::string& text);
std::u16string Utf8ToU16String(const std::string& text);

} // namespace Marevane
