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

// Stands in the typed text for bytes that are not UTF-8: the console's
// decoder puts it where such bytes were, and a line holding it is refused.
constexpr wchar_t BadInputMark = L'\uFFFD';

// Longest name AskPlayerName accepts, in characters.
constexpr std::size_t MaxPlayerNameLength = 17;
// ReadCommandLine keeps this many characters of a line.
constexpr std::size_t MaxCommandLineLength = 23;
// Typed numbers are cut to this; anything larger lies off every map anyway.
constexpr std::uint32_t MaxTypedNumber = 999;

// Asks until the answer is yes/y (true) or no/n (false), in any letter case.
bool AskYesNo(const std::wstring& prompt, std::wistream& in = std::wcin, std::wostream& out = std::wcout);

// Asks for a name of at most MaxPlayerNameLength characters until the player
// confirms it. A name with control characters is refused like any other
// name that cannot be used.
std::wstring AskPlayerName(std::wistream& in = std::wcin, std::wostream& out = std::wcout);

// The message for a name that cannot be used.
const wchar_t* NameRefusedText();

// One whole line with its ASCII letters in lower case. No prompt; a line
// that was not UTF-8 is reported on `out` and read again.
std::wstring ReadLowerCaseLine(std::wistream& in = std::wcin, std::wostream& out = std::wcout);

// Prompts for a command (asking again when lastCode is a failure code) and
// reads one line, cut to MaxCommandLineLength characters.
std::wstring ReadCommandLine(MessageCode lastCode = 51, std::wistream& in = std::wcin,
                             std::wostream& out = std::wcout);

// The pieces of ReadCommandLine, for a front-end that draws more around
// the prompt: the prompt's text, one line read as it was typed (false when
// it was not UTF-8), the report of such a line, and a line cut to length.
std::wstring CommandPromptText(MessageCode lastCode);
bool ReadTypedLine(std::wistream& in, std::wstring& line);
std::wstring BadInputText(const std::wstring& line);
std::wstring CutCommandLine(std::wstring line);

// The typed command of a line. Never fails: unknown or missing words give 0.
CommandInput ParseCommandText(const std::wstring& line);

// True when the word sorts between "0" and "9" inclusive: every word starting
// with a digit 0 to 8, and "9" itself.
bool IsNumberToken(const std::wstring& word);

} // namespace Marevane
