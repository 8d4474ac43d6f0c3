// Hand-drawn maps for the computer's board tests. One character per inner
// panel: '.' sea, 'R' a reef the observer knows, 'r' one it does not, 'F'/'S'/
// 'H' fog, shallow and high wave the observer knows, 'M' sea holding a live
// mine of the observer.
#pragma once

#include "ai/VirtualBoard.h"
#include "model/Board.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace Marevane::ComputerAI::Testing {

constexpr std::uint32_t Observer = 1;

struct TestMap {
    CBoard Board;
    std::deque<MineProfile> Mines;

    explicit TestMap(const std::vector<std::string>& rows)
    {
        Board.Resize(static_cast<std::uint32_t>(rows.size()), static_cast<std::uint32_t>(rows.at(0).size()));
        for (std::uint32_t x = 0; x < rows.size(); ++x) {
            for (std::uint32_t y = 0; y < rows[x].size(); ++y) {
                CPanel* panel = Board.GetPanel(x + 1, y + 1);
                switch (rows[x][y]) {
                case 'R':
                    Know(panel, PanelReef);
                    break;
                case 'r':
                    panel->SetType(PanelReef);
                    break;
                case 'F':
                    Know(panel, PanelFog);
                    break;
                case 'S':
                    Know(panel, PanelShallow);
                    break;
                case 'H':
                    Know(panel, PanelHighWave);
                    break;
                case 'M': {
                    MineProfile mine;
                    mine.UnitId = Observer;
                    Mines.push_back(mine);
                    panel->PlaceMine(&Mines.back());
                    break;
                }
                default:
                    break;
                }
            }
        }
    }

    static void Know(CPanel* panel, PanelType type)
    {
        panel->SetType(type);
        panel->AddKnownUnit(Observer);
    }

    // Inner panels count from 1; row 0 and the last row and column are the ring.
    const CPanel* At(std::uint32_t x, std::uint32_t y) const { return Board.GetPanel(x, y); }
};

// Flags of the inner panels as digits, one string per row ('#' above 9 or below 0).
inline std::vector<std::string> FlagRows(const CVirtualBoard& board, const TestMap& map)
{
    std::vector<std::string> rows;
    for (std::uint32_t x = 1; x <= map.Board.GetRows(); ++x) {
        std::string row;
        for (std::uint32_t y = 1; y <= map.Board.GetColumns(); ++y) {
            const std::int32_t f = board.GetVirtualPanel(map.At(x, y))->GetFlag();
            row += (f >= 0 && f <= 9) ? static_cast<char>('0' + f) : '#';
        }
        rows.push_back(row);
    }
    return rows;
}

// Gives the inner panels the flags drawn as digits, through flag operations
// only, so that the candidates stay right: each unit of a flag is a ring of
// radius 0 added in.
inline void SetFlags(CVirtualBoard& board, const TestMap& map, const std::vector<std::string>& rows)
{
    board.ClearFlag();
    CVirtualBoard single(board);
    for (std::uint32_t x = 0; x < rows.size(); ++x) {
        for (std::uint32_t y = 0; y < rows[x].size(); ++y) {
            const int f = rows[x][y] - '0';
            if (f <= 0) continue;
            single.SetRingFlag(map.At(x + 1, y + 1), 0);
            for (int i = 0; i < f; ++i) board.AddFlag(single);
        }
    }
}

// A board of the map's observer, reset (every open panel 1) and marked.
inline CVirtualBoard ResetBoard(const TestMap& map)
{
    CVirtualBoard board(Observer, map.Board);
    board.Reset();
    board.MarkOwnMines();
    return board;
}

} // namespace Marevane::ComputerAI::Testing
