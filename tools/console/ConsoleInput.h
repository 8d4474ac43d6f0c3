// Console input of the text front-end: yes/no questions, the player name,
// typed lines and the grammar of a typed command. Every function reads the
// given wide streams (the console by default) and blocks until a line comes.
//
// Only one thread may read the console at a time.
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <iostream>
#include <stdexcept>
#include <string>

namespace Marevane {

// The input ended (end of file or a broken stream) while an answer was
// awaited. The console program turns it into a clean exit.
class CConsoleInputEnded : public std::runtime_error {
  public:
    CConsoleInputEnded() : std::runtime_error("ConsoleInputEnded") {}
};

// Longest name AskPlayerName accepts, in characters.
constexpr std::size_t MaxPlayerNameLength = 17;
// ReadCommandLine keeps this many characters of a line.
constexpr std::size_t MaxCommandLineLength = 23;
// Typed numbers are cut to this; anything larger lies off every map anyway.
constexpr std::uint32_t MaxTypedNumber = 999;

// Asks until the answer is yes/y (true) or no/n (false), in any letter case.
bool AskYesNo(const std::wstring& prompt, std::wistream& in = std::wcin, std::wostream& out = std::wcout);

// Asks for a name of at most MaxPlayerNameLength characters until the player
// confirms it.
std::wstring AskPlayerName(std::wistream& in = std::wcin, std::wostream& out = std::wcout);

// One whole line with its ASCII letters in lower case. No prompt.
std::wstring ReadLowerCaseLine(std::wistream& in = std::wcin);

// Prompts for a command (asking again when lastCode is a failure code) and
// reads one line, cut to MaxCommandLineLength characters.
std::wstring ReadCommandLine(MessageCode lastCode = 51, std::wistream& in = std::wcin,
                             std::wostream& out = std::wcout);

// The typed command of a line. Never fails: unknown or missing words give 0.
CommandInput ParseCommandText(const std::wstring& line);

// True when the word sorts between "0" and "9" inclusive: every word starting
// with a digit 0 to 8, and "9" itself.
bool IsNumberToken(const std::wstring& word);

} // namespace Marevane
