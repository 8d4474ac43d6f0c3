#include "ai/ModeTables.h"

namespace Marevane::ComputerAI {

CModeMap::CModeMap()
{
    Fill({{0u, ModeVeryEasy},
          {1u, ModeEasy},
          {2u, ModeNormal},
          {3u, ModeHard},
          {4u, ModeVeryHard},
          {5u, ModeExtreme}},
         ModeNormal);
}

const CModeMap& CModeMap::GetInstance()
{
    static const CModeMap table;
    return table;
}

CModeNames::CModeNames()
{
    Fill({{ModeVeryEasy, L"VERY EASY"},
          {ModeEasy, L"EASY"},
          {ModeNormal, L"NORMAL"},
          {ModeHard, L"HARD"},
          {ModeVeryHard, L"VERY HARD"},
          {ModeExtreme, L"EXTREME"}},
         L"Undefined");
}

const CModeNames& CModeNames::GetInstance()
{
    static const CModeNames table;
    return table;
}

} // namespace Marevane::ComputerAI
