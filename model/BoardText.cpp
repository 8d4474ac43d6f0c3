#include "model/BoardText.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/TextUtil.h"
#include "model/Unit.h"

#include <algorithm>
#include <vector>

namespace Marevane {

namespace {

const wchar_t* const EmptyCell = L"\u3000\u3000";
const wchar_t* const Nothing = L"\u3000";
// A cell is two full-width characters wide.
constexpr std::size_t CellWidth = 4;
// Inside the frames of the ship box and the status box.
constexpr std::size_t ShipBoxWidth = 46;
constexpr std::size_t StatusBoxWidth = 70;
// The status box holds two fields per line, split by two blanks.
constexpr std::size_t StatusFieldWidth = 34;
// Where a name carried over to the next line of the status box starts.
constexpr std::size_t NameIndent = 12;

// The legend beside the grid: panel effects, then typed commands and their
// costs. Fixed text: it does not follow the rule settings.
const std::vector<std::wstring>& PanelLegend()
{
    static const std::vector<std::wstring> lines = {
        L"  N       Panel Effect",
        L"W + E  ◆=Reef ≡=Shallows",
        L"  S    ◎=Fog  △=High Wave",
    };
    return lines;
}

const std::vector<std::wstring>& CommandLegend()
{
    static const std::vector<std::wstring> lines = {
        L"",
        L"  Command List & FP Cost",
        L" m=Move a=Attack t=Torpedo",
        L" i=Mine r=Resign f=Reinforce",
        L" [B] m:16-36FP a:10FP t: - ",
        L" [D] m: 8-18FP a:12FP t:20FP",
        L" [S] m:10-10FP a:16FP t:20FP",
        L" [O] m:10-10FP a:50FP t: - ",
    };
    return lines;
}

// Legend on the frame line above a row (the top frame has its own).
const std::wstring& FrameLegend(std::uint32_t row)
{
    static const std::wstring none;
    switch (row) {
    case 2:
        return PanelLegend()[2];
    case 3:
        return CommandLegend()[1];
    case 4:
        return CommandLegend()[3];
    case 5:
        return CommandLegend()[5];
    case 6:
        return CommandLegend()[7];
    default:
        return none;
    }
}

// Legend on a row's cell line.
const std::wstring& CellLegend(std::uint32_t row)
{
    static const std::wstring none;
    switch (row) {
    case 1:
        return PanelLegend()[1];
    case 2:
        return CommandLegend()[0];
    case 3:
        return CommandLegend()[2];
    case 4:
        return CommandLegend()[4];
    case 5:
        return CommandLegend()[6];
    default:
        return none;
    }
}

bool IsBoundaryToward(const CPanel& panel, Direction direction)
{
    return panel.GetNeighbor(direction)->GetType() == PanelBoundary;
}

std::size_t CharWidth(wchar_t c)
{
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 0x20 || (u >= 0x7F && u < 0xA0)) return 0;
    static const std::pair<std::uint32_t, std::uint32_t> wide[] = {
        {0x1100, 0x115F}, {0x2190, 0x22FF},   {0x2460, 0x24FF},   {0x2500, 0x26FF},   {0x2E80, 0x303E},
        {0x3040, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},
        {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
    };
    for (const auto& [first, last] : wide) {
        if (u >= first && u <= last) return 2;
    }
    return 1;
}

// The longest start of the text that fits the columns.
std::wstring CutToWidth(const std::wstring& text, std::size_t columns)
{
    std::wstring cut;
    std::size_t width = 0;
    for (wchar_t c : text) {
        if (width + CharWidth(c) > columns) break;
        width += CharWidth(c);
        cut += c;
    }
    return cut;
}

std::wstring PadToWidth(const std::wstring& text, std::size_t columns)
{
    const std::wstring cut = CutToWidth(text, columns);
    return cut + std::wstring(columns - ConsoleWidth(cut), L' ');
}

std::wstring Repeat(const std::wstring& text, std::size_t count)
{
    std::wstring out;
    for (std::size_t i = 0; i < count; ++i) out += text;
    return out;
}

// One weapon shows its full-width glyph; several its half-width form and
// the count, still two columns.
std::wstring CountMark(std::uint32_t count, CommandCode weapon)
{
    const std::wstring& glyph = CWeaponCodes::GetInstance().Get(weapon);
    if (count == 0) return std::wstring();
    if (count == 1) return glyph;
    return ToHalfWidth(glyph) + (count <= 9 ? std::to_wstring(count) : std::wstring(L"+"));
}

// The pieces, in order of precedence, that fit in one cell; a piece too
// wide in its full-width form may fit in its half-width one.
std::wstring FitCell(const std::vector<std::wstring>& pieces)
{
    std::wstring cell;
    for (const std::wstring& piece : pieces) {
        if (ConsoleWidth(cell) + ConsoleWidth(piece) <= CellWidth) {
            cell += piece;
            continue;
        }
        const std::wstring narrow = ToHalfWidth(piece);
        if (ConsoleWidth(cell) + ConsoleWidth(narrow) <= CellWidth) cell += narrow;
    }
    return cell;
}

// Narrow blanks on both sides make the cell two full-width columns.
std::wstring CentreCell(const std::wstring& cell)
{
    if (cell.empty()) return EmptyCell;
    const std::size_t rest = CellWidth - std::min(CellWidth, ConsoleWidth(cell));
    return std::wstring(rest / 2, L' ') + cell + std::wstring(rest - rest / 2, L' ');
}

std::wstring ShipLetter(const CShip& ship)
{
    return CShipCodes::GetInstance().Get(static_cast<ShipType>(ship.GetProfile().Type));
}

// Letter and id; a three-character text gets a blank to fill two
// full-width columns.
std::wstring ShipText(const CShip& ship)
{
    std::wstring text = ShipLetter(ship) + std::to_wstring(ship.GetShipId());
    if (text.size() == 3) text += L' ';
    return text;
}

std::wstring FuelField(const CShip& ship, std::uint32_t fp)
{
    return ship.IsFpInUse() ? FormatNumberField(fp) : PadField(L"-");
}

std::wstring HpField(std::int32_t hp)
{
    return FormatNumberField(static_cast<unsigned>(std::max(hp, 0)));
}

// The cell of the fleet set-up board as the side sees it.
std::wstring SetUpGlyph(const CUnit& unit, const CPanel* panel)
{
    const std::wstring text = unit.GetPanelText(panel);
    if (text.size() >= 3) return text;
    // Two full-width glyphs (a panel effect and a torpedo) fill the cell.
    if (text.size() == 2 && unit.CountTorpedoes() != 0 && panel->IsKnownBy(unit.GetId()) &&
        panel->GetType() != PanelSea) {
        return text;
    }
    return L" " + text + L" ";
}

std::wstring Joined(const std::vector<std::wstring>& texts)
{
    std::wstring joined;
    for (const std::wstring& text : texts) joined += text;
    return joined;
}

// The cell of the turn board: ships, then torpedoes, mines and the panel
// effect, as much as fits. Ship numbers repeat across sides, so each ship
// carries its side's number: "1D2" is ship D2 of Player1. Ships of two
// sides on one panel keep side and letter ("0D1B"), of more the letters.
std::wstring TurnGlyph(const std::vector<CUnit*>& units, const CPanel* panel)
{
    std::vector<std::wstring> marks;
    std::vector<std::wstring> sideLetters;
    std::vector<std::wstring> letters;
    std::uint32_t torpedoes = 0;
    for (const CUnit* unit : units) {
        if (unit == nullptr) continue;
        std::wstring text = unit->GetShipTextOnPanel(panel);
        if (text != Nothing) {
            const std::wstring side = std::to_wstring(unit->GetId());
            const std::wstring letter = unit->GetShipCodeOnPanel(panel);
            while (!text.empty() && text.back() == L' ') text.pop_back();
            marks.push_back(side + text);
            sideLetters.push_back(side + letter);
            letters.push_back(letter);
        }
        torpedoes += unit->CountTorpedoesOnPanel(panel);
    }
    std::wstring ships = Joined(marks);
    if (ConsoleWidth(ships) > CellWidth) ships = Joined(sideLetters);
    if (ConsoleWidth(ships) > CellWidth) ships = CutToWidth(Joined(letters), CellWidth);

    std::uint32_t mines = 0;
    for (const MineProfile* mine : panel->GetMines()) {
        if (mine != nullptr && !mine->IsExploded) ++mines;
    }
    std::wstring effect = CPanelCodes::GetInstance().Get(panel->GetType());
    if (effect == Nothing) effect.clear();
    return CentreCell(
        FitCell({ships, CountMark(torpedoes, CommandTorpedo), CountMark(mines, CommandMine), effect}));
}

// A side's line of the status box, split into fields: the first holds the
// label and the start of the name, the others carry the rest of the name.
std::vector<std::wstring> SideFields(const CUnit& unit, bool isViewer)
{
    const std::wstring label =
        std::wstring(isViewer ? L"■" : L"□") + L" Player" + std::to_wstring(unit.GetId()) + L": ";
    std::vector<std::wstring> fields;
    std::wstring rest = unit.GetProfile().Name;
    std::wstring field = label;
    for (;;) {
        const std::wstring part = CutToWidth(rest, StatusFieldWidth - ConsoleWidth(field));
        fields.push_back(field + part);
        rest.erase(0, part.size());
        if (rest.empty() || part.empty()) return fields;
        field = std::wstring(NameIndent, L' ');
    }
}

std::wstring StatusShipText(const CShip& ship)
{
    const ShipProfile& profile = ship.GetProfile();
    return L"R" + std::to_wstring(profile.Pos.x) + L"C" + std::to_wstring(profile.Pos.y) + L".[" +
           ShipLetter(ship) + L"] " + L"HP" + HpField(profile.Hp) + L"/" +
           FormatNumberField(profile.Config.Hp) + L" FP" + FuelField(ship, profile.Fp) + L"/" +
           FuelField(ship, profile.Config.Fp);
}

// Lines of two fields each; an odd last field stands alone.
void AppendFieldPairs(std::wstring& out, const std::vector<std::wstring>& left,
                      const std::vector<std::wstring>& right)
{
    const std::size_t lines = std::max(left.size(), right.size());
    for (std::size_t i = 0; i < lines; ++i) {
        out += L"   │" + PadToWidth(i < left.size() ? left[i] : L"", StatusFieldWidth) + L"  " +
               PadToWidth(i < right.size() ? right[i] : L"", StatusFieldWidth) + L"│\n";
    }
}

} // namespace

std::size_t ConsoleWidth(const std::wstring& text)
{
    std::size_t width = 0;
    for (wchar_t c : text) width += CharWidth(c);
    return width;
}

std::wstring PadField(const std::wstring& text)
{
    switch (text.size()) {
    case 1:
        return L" " + text + L" ";
    case 2:
        return L" " + text;
    default:
        return text;
    }
}

std::wstring FormatNumberField(unsigned n)
{
    return PadField(std::to_wstring(n));
}

void CBoard::RenderText(std::wstring& out, const PanelGlyph& glyph) const
{
    out.clear();
    for (const std::vector<CPanel*>& row : m_grid) {
        std::wstring header, frame, cells, bottom;
        for (CPanel* panel : row) {
            if (panel->GetType() == PanelBoundary) continue;
            const bool north = IsBoundaryToward(*panel, DirectionNorth);
            const bool east = IsBoundaryToward(*panel, DirectionEast);
            const bool west = IsBoundaryToward(*panel, DirectionWest);
            const bool south = IsBoundaryToward(*panel, DirectionSouth);
            const std::wstring rowText = std::to_wstring(panel->GetX());
            const std::wstring columnText = std::to_wstring(panel->GetY());

            if (north) {
                header += (west ? L"      C" : L"    C") + columnText;
                frame += west ? L"   ┌──" : L"┬──";
                if (east) {
                    header += L"     \n";
                    frame += L"┐" + PanelLegend()[0] + L"\n";
                }
            } else {
                frame += west ? L"   ├──" : L"┼──";
                if (east) frame += L"┤" + FrameLegend(panel->GetX()) + L"\n";
            }

            if (south) {
                bottom += west ? L"   └──" : L"┴──";
                if (east) bottom += L"┘" + (m_rows == 5 ? CommandLegend()[7] : std::wstring()) + L"\n";
            }

            if (!east) {
                if (west) cells += L" R" + rowText;
                cells += L"｜" + glyph(panel);
            } else {
                cells += L"｜" + glyph(panel) + L"｜" + CellLegend(panel->GetX()) + L"\n";
            }
        }
        out += header + frame + cells + bottom;
    }
}

void CBoard::ToText(std::wstring& out) const
{
    RenderText(out, [](CPanel*) { return std::wstring(EmptyCell); });
}

void CBoard::ToFleetSetupText(std::wstring& out, CUnit* pUnit) const
{
    RenderText(out, [pUnit](CPanel* panel) { return SetUpGlyph(*pUnit, panel); });

    const std::wstring line = Repeat(L"─", ShipBoxWidth / 2);
    out += L"   ┌" + line + L"┐\n";
    out += L"   │" + PadToWidth(L"■ Player: " + pUnit->GetProfile().Name, ShipBoxWidth - 1) + L" │\n";
    for (const auto& [id, ship] : pUnit->GetShips()) {
        const ShipProfile& profile = ship->GetProfile();
        const std::wstring text = PadToWidth(ShipText(*ship), 4) + L"[" + ShipLetter(*ship) + L"] " + L"HP:" +
                                  HpField(profile.Hp) + L"/" + FormatNumberField(profile.Config.Hp) +
                                  L" FP:" + FuelField(*ship, profile.Fp) + L"/" +
                                  FuelField(*ship, profile.Config.Fp);
        out += L"   │" + PadToWidth(text, ShipBoxWidth - 2) + L"  │\n";
    }
    out += L"   └" + line + L"┘\n";
}

void CBoard::ToTurnText(std::wstring& out, const std::vector<CUnit*>& units, const CUnit* viewer) const
{
    RenderText(out, [&units](CPanel* panel) { return TurnGlyph(units, panel); });

    std::vector<const CUnit*> sides;
    for (const CUnit* unit : units) {
        if (unit != nullptr) sides.push_back(unit);
    }
    const std::wstring line = Repeat(L"─", StatusBoxWidth / 2);
    out += L"   ┌" + line + L"┐\n";
    for (std::size_t i = 0; i < sides.size(); i += 2) {
        AppendFieldPairs(out, SideFields(*sides[i], sides[i] == viewer),
                         i + 1 < sides.size() ? SideFields(*sides[i + 1], sides[i + 1] == viewer)
                                              : std::vector<std::wstring>());
    }
    for (const CUnit* side : sides) {
        std::vector<std::wstring> texts;
        for (const auto& [id, ship] : side->GetShips()) texts.push_back(StatusShipText(*ship));
        for (std::size_t i = 0; i < texts.size(); i += 2) {
            AppendFieldPairs(out, {texts[i]},
                             i + 1 < texts.size() ? std::vector<std::wstring>{texts[i + 1]}
                                                  : std::vector<std::wstring>());
        }
    }
    out += L"   └" + line + L"┘\n";
}

std::wstring CUnit::GetShipTextOnPanel(const CPanel* panel) const
{
    const CShip* ship = FindShipOnPanel(panel);
    return ship != nullptr ? ShipText(*ship) : std::wstring(Nothing);
}

// Ship first, then the torpedo mark, then the panel effect the side knows
// of, as much as fits in two full-width columns.
std::wstring CUnit::GetPanelText(const CPanel* panel) const
{
    std::wstring ship = GetShipTextOnPanel(panel);
    if (ship == Nothing) ship.clear();
    std::wstring effect;
    if (panel->IsKnownBy(GetId())) effect = CPanelCodes::GetInstance().Get(panel->GetType());
    if (effect == Nothing) effect.clear();
    const std::wstring text =
        FitCell({ship, CountMark(CountTorpedoesOnPanel(panel), CommandTorpedo), effect});
    return text.empty() ? std::wstring(Nothing) : text;
}

} // namespace Marevane
