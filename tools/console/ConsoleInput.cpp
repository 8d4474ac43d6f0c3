#include "tools/console/ConsoleInput.h"

#include "model/CodeTables.h"

#include <algorithm>
#include <limits>
#include <locale>
#include <vector>

namespace Marevane {

namespace {

const wchar_t* const AnswerAgainText = L"入力が正しくありません。再入力してください。（yes or no）";
const wchar_t* const NamePromptText = L"プレイヤー名を入力してください。";
const wchar_t* const NameTooLongText = L"文字数が超過しています。再入力してください。";
const wchar_t* const NameConfirmHead = L"プレイヤー名は「";
const wchar_t* const NameConfirmTail = L"」でよろしいでしょうか？（yes or no）\n";
const wchar_t* const NameNoticeText = L"（Notice: 以後タイトル画面に戻るまで変更はできません！）\n";
const wchar_t* const NameRefused = L"この名前は使えません。再入力してください。";
const wchar_t* const CommandPrompt = L"コマンドを入力してください。";
const wchar_t* const CommandAgain = L"コマンドを再入力してください。";
const wchar_t* const BadInputHead = L"UTF-8 の文字として読めない入力がありました（\uFFFD の所）: ";
const wchar_t* const BadInputTail = L"\n再入力してください。";

// towlower is undefined beyond the C locale's range on some libraries and
// folds more than the typed words need; only ASCII letters are folded.
std::wstring ToLowerAscii(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

void DiscardRestOfLine(std::wistream& in)
{
    in.ignore(std::numeric_limits<std::streamsize>::max(), L'\n');
}

// Ends the wait when the input is gone, and drops what a failed earlier read
// (by anyone on this stream) left on its line so it does not carry over.
void PrepareRead(std::wistream& in)
{
    if (in.bad() || in.eof()) throw CConsoleInputEnded();
    if (in.fail()) {
        in.clear();
        DiscardRestOfLine(in);
        if (in.bad() || in.eof()) throw CConsoleInputEnded();
    }
}

std::wstring ReadLine(std::wistream& in, std::wostream& out)
{
    for (;;) {
        std::wstring line;
        if (ReadTypedLine(in, line)) return line;
        out << BadInputText(line) << std::endl;
    }
}

// The first blank-delimited word of the next line that has one; the rest of
// its line is dropped, so words typed ahead never answer the next question.
std::wstring ReadWord(std::wistream& in, std::wostream& out)
{
    const std::locale locale = in.getloc();
    const auto blank = [&locale](wchar_t c) { return std::isspace(c, locale); };
    for (;;) {
        const std::wstring line = ReadLine(in, out);
        const auto first = std::find_if_not(line.begin(), line.end(), blank);
        if (first == line.end()) continue;
        return std::wstring(first, std::find_if(first, line.end(), blank));
    }
}

// C0 and C1 controls, DEL and NUL among them: no name shows them, and the
// battle log must never hold them.
bool HasControlCharacter(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t c) {
        const auto u = static_cast<std::uint32_t>(c);
        return u < 0x20 || (u >= 0x7F && u < 0xA0);
    });
}

// The leading digits of a number word, cut to MaxTypedNumber so that no
// caller walks a huge offset.
std::uint32_t ReadTypedNumber(const std::wstring& word)
{
    std::uint32_t value = 0;
    for (wchar_t c : word) {
        if (c < L'0' || c > L'9') break;
        value = value * 10 + static_cast<std::uint32_t>(c - L'0');
        if (value > MaxTypedNumber) return MaxTypedNumber;
    }
    return value;
}

std::vector<std::wstring> SplitAtSpaces(const std::wstring& line)
{
    std::vector<std::wstring> words;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(L' ', start);
        words.push_back(line.substr(start, space == std::wstring::npos ? std::wstring::npos : space - start));
        if (space == std::wstring::npos) return words;
        start = space + 1;
    }
}

// Commands that name a panel by row and column instead of a direction.
bool TakesTargetPanel(std::uint32_t command)
{
    return command == CommandTorpedo || command == CommandReinforce || command == CommandChangeFlagship;
}

std::uint32_t LookUpDirection(std::uint32_t command, const std::wstring& word)
{
    switch (command) {
    case CommandAttack:
        return CDirectionMap::GetInstance().Get(word);
    case CommandMove:
        return CMoveDirectionMap::GetInstance().Get(word);
    case CommandMine:
        return CMineDirectionMap::GetInstance().Get(word);
    default:
        return DirectionNone;
    }
}

} // namespace

bool AskYesNo(const std::wstring& prompt, std::wistream& in, std::wostream& out)
{
    for (;;) {
        out.flush();
        if (!prompt.empty()) out << prompt << std::endl;
        const std::wstring answer = ToLowerAscii(ReadWord(in, out));
        if (answer == L"yes" || answer == L"y") return true;
        if (answer == L"no" || answer == L"n") return false;
        out << AnswerAgainText << std::endl;
    }
}

std::wstring AskPlayerName(std::wistream& in, std::wostream& out)
{
    for (;;) {
        out << NamePromptText << std::endl;
        const std::wstring name = ReadWord(in, out);
        if (name.size() > MaxPlayerNameLength) {
            out << NameTooLongText << std::endl;
            continue;
        }
        if (HasControlCharacter(name)) {
            out << NameRefused << std::endl;
            continue;
        }
        out << NameConfirmHead << name << NameConfirmTail << NameNoticeText;
        if (AskYesNo(L"", in, out)) return name;
    }
}

const wchar_t* NameRefusedText()
{
    return NameRefused;
}

std::wstring ReadLowerCaseLine(std::wistream& in, std::wostream& out)
{
    return ToLowerAscii(ReadLine(in, out));
}

std::wstring ReadCommandLine(MessageCode lastCode, std::wistream& in, std::wostream& out)
{
    for (;;) {
        out << CommandPromptText(lastCode) << std::endl;
        std::wstring line;
        if (ReadTypedLine(in, line)) return CutCommandLine(std::move(line));
        out << BadInputText(line) << std::endl;
    }
}

std::wstring CommandPromptText(MessageCode lastCode)
{
    return IsErrorCode(lastCode) ? CommandAgain : CommandPrompt;
}

bool ReadTypedLine(std::wistream& in, std::wstring& line)
{
    PrepareRead(in);
    if (!std::getline(in, line)) throw CConsoleInputEnded();
    // Lines piped from files written on other systems may end in CR LF.
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    return line.find(BadInputMark) == std::wstring::npos;
}

std::wstring BadInputText(const std::wstring& line)
{
    return BadInputHead + line + BadInputTail;
}

std::wstring CutCommandLine(std::wstring line)
{
    if (line.size() > MaxCommandLineLength) line.resize(MaxCommandLineLength);
    return line;
}

bool IsNumberToken(const std::wstring& word)
{
    return word >= L"0" && word <= L"9";
}

CommandInput ParseCommandText(const std::wstring& text)
{
    const std::wstring line = text.substr(0, text.find(L'\n'));
    const std::vector<std::wstring> words = SplitAtSpaces(line);

    CommandInput input;
    input.Command = CCommandMap::GetInstance().Get(words[0]);
    if (input.Command == CommandResign) {
        if (words.size() > 1) input.Text = line.substr(words[0].size() + 1);
        return input;
    }

    const bool targetsPanel = TakesTargetPanel(input.Command);
    std::wstring directionWord;
    if (words.size() > 1 && IsNumberToken(words[1])) input.ShipId = ReadTypedNumber(words[1]);
    if (words.size() > 2) {
        if (targetsPanel && IsNumberToken(words[2])) {
            input.Target.x = ReadTypedNumber(words[2]);
        } else {
            directionWord = words[2];
        }
    }
    if (words.size() > 3 && IsNumberToken(words[3])) {
        if (targetsPanel) {
            input.Target.y = ReadTypedNumber(words[3]);
        } else {
            input.Distance = ReadTypedNumber(words[3]);
        }
    }
    input.Direction = LookUpDirection(input.Command, directionWord);
    return input;
}

} // namespace Marevane
