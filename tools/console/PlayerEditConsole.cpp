// The console paths of the player editor: the local side's mode and name,
// and its fleet placed from typed positions.
#include "tools/console/PlayerEditConsole.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/UnitFactory.h"
#include "session/PlayerEdit.h"
#include "tools/console/ConsoleInput.h"

#include <QString>

#include <exception>
#include <iostream>
#include <string>

namespace Marevane {

namespace {

const wchar_t* const ModePromptText =
    L"プレイヤー操作モードを選択してください(yes=手動モード or no=COMモード)";
const wchar_t* const FleetConfirmText = L"艦の配置は以上でよろしいですか？（yes or no）";
const wchar_t* const PanelTakenText = L"その位置には既に艦があります。別の位置を入力してください。";
const wchar_t* const PanelBlockedHead = L"その位置には艦を置けません（";
const wchar_t* const PanelBlockedTail = L"）。別の位置を入力してください。";
const wchar_t* const FlagshipPromptText = L"旗艦にする艦の番号を入力してください。";
const wchar_t* const FlagshipAgainText = L"その番号の艦はありません。再入力してください。";
constexpr MissionType MissionFlagship = 0x10000004;

std::wstring Trim(const std::wstring& text)
{
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    const auto last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

// The reason of an error whose text reads "Where(): Error - Reason.".
std::wstring Reason(const std::exception& error)
{
    const std::string text = error.what();
    const auto dash = text.rfind(" - ");
    return QString::fromStdString(dash == std::string::npos ? text : text.substr(dash + 3)).toStdWString();
}

// A line of digits only, at most three of them; anything else is no number.
bool ParseSmallNumber(const std::wstring& line, std::uint32_t& value)
{
    const std::wstring word = Trim(line);
    if (word.empty() || word.size() > 3) return false;
    value = 0;
    for (wchar_t c : word) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    return true;
}

bool IsPanelOf(const CBoard& board, std::uint32_t number)
{
    const std::uint32_t row = number / 10;
    const std::uint32_t column = number % 10;
    return number < 100 && row >= 1 && row <= board.GetRows() && column >= 1 && column <= board.GetColumns();
}

std::wstring PlacementAgainText(const CBoard& board)
{
    return L"位置が正しくありません。行（1〜" + std::to_wstring(board.GetRows()) + L"）と列（1〜" +
           std::to_wstring(board.GetColumns()) + L"）を続けた2桁の数字で再入力してください。（例: 23）";
}

// The type of the next typed ship, drawn from the ship types; an oiler
// never leads a fleet.
ShipType DrawLocalShipType(bool first)
{
    return static_cast<ShipType>(RandomUInt(ShipTypeBattleship, first ? ShipTypeSubmarine : ShipTypeOiler));
}

std::wstring ShipPromptText(std::uint32_t number, ShipType type, const CBoard& board)
{
    return L"No." + std::to_wstring(number) + L" " + CShipNames::GetInstance().Get(type) +
           L" の位置を、行と列を続けた2桁の数字で入力してください。（行 1〜" +
           std::to_wstring(board.GetRows()) + L"、列 1〜" + std::to_wstring(board.GetColumns()) +
           L"、例: 23）";
}

// In a flagship mission the player names the flagship, as on the fleet
// screen.
void ChooseLocalFlagship(CUnit& unit, std::wistream& in, std::wostream& out)
{
    out << FlagshipPromptText << L"（1〜" << unit.ShipCount() << L"）" << std::endl;
    for (;;) {
        std::uint32_t id = 0;
        if (ParseSmallNumber(ReadLowerCaseLine(in, out), id) && unit.HasShip(id)) {
            unit.SetFlagship(id);
            return;
        }
        out << FlagshipAgainText << std::endl;
    }
}

} // namespace

std::uint32_t ReadPlacementNumber(const CBoard& board, std::wistream& in, std::wostream& out)
{
    for (;;) {
        std::uint32_t number = 0;
        if (ParseSmallNumber(ReadLowerCaseLine(in, out), number) && IsPanelOf(board, number)) return number;
        out << PlacementAgainText(board) << std::endl;
    }
}

CUnit::NumberReader MakeConsoleNumberReader(std::wistream& in, std::wostream& out)
{
    return [&in, &out](CUnit& unit) -> std::uint32_t {
        const CBoard* board = unit.GetBoard();
        return board != nullptr ? ReadPlacementNumber(*board, in, out) : 0;
    };
}

CUnit::CommandReader MakeConsoleCommandReader(std::function<MessageCode()> lastCode, std::wistream& in,
                                              std::wostream& out)
{
    return [lastCode = std::move(lastCode), &in, &out](CUnit& unit) {
        const MessageCode code = lastCode ? lastCode() : 51;
        unit.SetCommandInput(ParseCommandText(ReadCommandLine(code, in, out)));
    };
}

CPlayerEditConsole::~CPlayerEditConsole()
{
    // The task may still be in an override below.
    StopTask();
}

void CPlayerEditConsole::SetConsole(std::wistream& in, std::wostream& out)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_consoleIn = &in;
    m_consoleOut = &out;
}

CUnit* CPlayerEditConsole::CreateLocalPlayer()
{
    std::wistream& in = m_consoleIn != nullptr ? *m_consoleIn : std::wcin;
    std::wostream& out = m_consoleOut != nullptr ? *m_consoleOut : std::wcout;

    const bool manual = AskYesNo(ModePromptText, in, out);
    CUnit* unit = nullptr;
    while (unit == nullptr) {
        const std::wstring name = AskPlayerName(in, out);
        try {
            unit = m_units.CreateLocalUnit(manual ? UnitManual : UnitAuto, 0, name, L"");
        } catch (const CNameLengthError&) {
            // A name of 17 characters can still exceed 17 UTF-16 units.
            out << NameRefusedText() << std::endl;
        }
    }
    unit->SetNumberReader(MakeConsoleNumberReader(in, out));
    Pause(m_pauses.Ready);
    return unit;
}

CUnit* CPlayerEditConsole::SetUpLocalShips(CUnit& unit)
{
    std::wistream& in = m_consoleIn != nullptr ? *m_consoleIn : std::wcin;
    std::wostream& out = m_consoleOut != nullptr ? *m_consoleOut : std::wcout;

    for (;;) {
        m_ships.RemoveShipsOf(&unit);
        if (unit.GetUnitType() == UnitAuto) {
            // A local side in computer mode: the computer places it.
            SetUpComputerShips(unit);
        } else {
            const std::uint32_t count = CountShips(unit);
            for (std::uint32_t k = 0; k < count; ++k) {
                const ShipType type = DrawLocalShipType(k == 0);
                std::wstring board;
                m_board.ToFleetSetupText(board, &unit);
                out << board << ShipPromptText(k + 1, type, m_board) << std::endl;
                for (;;) {
                    const MapPos pos = unit.ChooseShipPosition(type);
                    if (pos.x < 1 || pos.x > m_board.GetRows() || pos.y < 1 || pos.y > m_board.GetColumns()) {
                        throw CPanelRangeError("CPlayerEdit::SetUpLocalShips(): CPanelRangeError - The "
                                               "position is off the map.");
                    }
                    try {
                        m_ships.CreateShip(&unit, type, m_board.GetPanel(pos));
                        break;
                    } catch (const CPanelOnOtherShipError&) {
                        out << PanelTakenText << std::endl;
                    } catch (const CPanelRangeError& error) {
                        // A reef the side has not found yet: the reason the
                        // ship gives, which names no panel type.
                        out << PanelBlockedHead << Reason(error) << PanelBlockedTail << std::endl;
                    }
                }
                Pause(m_pauses.Placed);
            }
            if (m_rules.HasMission(MissionFlagship)) ChooseLocalFlagship(unit, in, out);
        }

        std::wstring board;
        m_board.ToFleetSetupText(board, &unit);
        out << board;
        if (AskYesNo(FleetConfirmText, in, out)) return &unit;
        m_ships.RemoveShipsOf(&unit);
        Pause(m_pauses.Ready);
    }
}

} // namespace Marevane
