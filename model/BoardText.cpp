#include "model/BoardText.h"

#include "model/Board.h"

#include <vector>

namespace Marevane {

namespace {

const wchar_t* const EmptyCell = L"\u3000\u3000";

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

} // namespace

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

} // namespace Marevane
