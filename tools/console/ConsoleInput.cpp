#include "tools/console/ConsoleInput.h"

#include "model/CodeTables.h"

#include <limits>
#include <vector>

namespace Marevane {

namespace {

const wchar_t* const AnswerAgainText = L"入力が正しくありません。再入力してください。（yes or no）";
const wchar_t* const NamePromptText = L"プレイヤー名を入力してください。";
const wchar_t* const NameTooLongText = L"文字数が超過しています。再入力してください。";
const wchar_t* const NameConfirmHead = L"プレイヤー名は「";
const wchar_t* const NameConfirmTail = L"」でよろしいでしょうか？（yes or no）\n";
const wchar_t* const NameNoticeText = L"（Notice: 以後タイトル画面に戻るまで変更はできません！）\n";
const wchar_t* const CommandPromptText = L"コマンドを入力してください。";
const wchar_t* const CommandAgainText = L"コマンドを再入力してください。";

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

// One blank-delimited word; the rest of its line is dropped, so words typed
// ahead never answer the next question.
std::wstring ReadWord(std::wistream& in)
{
    PrepareRead(in);
    std::wstring word;
    if (!(in >> word)) throw CConsoleInputEnded();
    if (!in.eof()) DiscardRestOfLine(in);
    return word;
}

std::wstring ReadLine(std::wistream& in)
{
    PrepareRead(in);
    std::wstring line;
    if (!std::getline(in, line)) throw CConsoleInputEnded();
    // Lines piped from files written on other systems may end in CR LF.
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    return line;
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
        const std::wstring answer = ToLowerAscii(ReadWord(in));
        if (answer == L"yes" || answer == L"y") return true;
        if (answer == L"no" || answer == L"n") return false;
        out << AnswerAgainText << std::endl;
    }
}

std::wstring AskPlayerName(std::wistream& in, std::wostream& out)
{
    for (;;) {
        out << NamePromptText << std::endl;
        const std::wstring name = ReadWord(in);
        if (name.size() > MaxPlayerNameLength) {
            out << NameTooLongText << std::endl;
            continue;
        }
        out << NameConfirmHead << name << NameConfirmTail << NameNoticeText;
        if (AskYesNo(L"", in, out)) return name;
    }
}

std::wstring ReadLowerCaseLine(std::wistream& in)
{
    return ToLowerAscii(ReadLine(in));
}

std::wstring ReadCommandLine(MessageCode lastCode, std::wistream& in, std::wostream& out)
{
    out << (IsErrorCode(lastCode) ? CommandAgainText : CommandPromptText) << std::endl;
    std::wstring line = ReadLine(in);
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
