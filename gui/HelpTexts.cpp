#include "gui/HelpTexts.h"

#include <QCoreApplication>

#include <initializer_list>
#include <utility>
#include <vector>

namespace Marevane {

namespace {

struct HelpRow {
    const char* title; // null for a body alone
    const char* body;
};

// Title and body are translated on their own and joined by a line feed.
template <typename K>
std::vector<std::pair<K, QString>> Translate(std::initializer_list<std::pair<K, HelpRow>> rows)
{
    std::vector<std::pair<K, QString>> texts;
    texts.reserve(rows.size());
    for (const auto& [key, row] : rows) {
        QString text = QCoreApplication::translate("QObject", row.body);
        if (row.title != nullptr)
            text = QCoreApplication::translate("QObject", row.title) + QLatin1Char('\n') + text;
        texts.emplace_back(key, std::move(text));
    }
    return texts;
}

} // namespace

CCommandHelp::CCommandHelp()
{
    Fill(Translate<CommandCode>({
             {CommandAttack,
              {QT_TRANSLATE_NOOP("QObject", "Attack Command"),
               QT_TRANSLATE_NOOP(
                   "QObject", "Attacks a panel which is next to this ship. A rival's ship can be damaged if "
                              "it is on the panel you attacked, or you can be informed that rival's ships "
                              "find a splash if it is around there.")}},
             {CommandMove,
              {QT_TRANSLATE_NOOP("QObject", "Move Command"),
               QT_TRANSLATE_NOOP("QObject", "Moves on the game map. According to distance and a ship type, "
                                            "moving ship requires additional FP cost.")}},
             {CommandMine,
              {QT_TRANSLATE_NOOP("QObject", "Mine Command"),
               QT_TRANSLATE_NOOP(
                   "QObject", "Lays a mine, which can be damaged when a ship(including yours) moves to. it "
                              "is laid on adjacent and central panels, it is invisible to both a rival and "
                              "yourself.")}},
             {CommandTorpedo,
              {QT_TRANSLATE_NOOP("QObject", "Torpedo Command"),
               QT_TRANSLATE_NOOP(
                   "QObject", "Fires a torpedo, which can attack at long range. After firing, it moves by "
                              "one panel each end of your turn, then it will explode and attack on a target "
                              "panel when it reaches there.")}},
             {CommandReinforce,
              {QT_TRANSLATE_NOOP("QObject", "Reinforcement"),
               QT_TRANSLATE_NOOP(
                   "QObject", "Reinforces a ship if it is now sunk and leaves required FP. The round you can "
                              "reinforce is limited, and required FP increases as rounds pass.")}},
             {CommandResign,
              {QT_TRANSLATE_NOOP("QObject", "Resignation"),
               QT_TRANSLATE_NOOP("QObject", "You give up the game for lost.")}},
             {CommandChangeFlagship,
              {QT_TRANSLATE_NOOP("QObject", "Change of Flagship"),
               QT_TRANSLATE_NOOP("QObject", "Changes your flagship. But up to 3 times.")}},
             {CommandPass, {nullptr, QT_TRANSLATE_NOOP("QObject", "Pass your turn.")}},
         }),
         QString());
}

CPanelHelp::CPanelHelp()
{
    Fill(Translate<PanelType>({
             {PanelUnknown,
              {QT_TRANSLATE_NOOP("QObject", "Unknown Panel"),
               QT_TRANSLATE_NOOP("QObject",
                                 "Unexplored panel. A player doesn't still know what type it is.")}},
             {PanelSea,
              {QT_TRANSLATE_NOOP("QObject", "Sea Panel"),
               QT_TRANSLATE_NOOP("QObject", "Normal panel. This panel has no effect on ships.")}},
             {PanelReef,
              {QT_TRANSLATE_NOOP("QObject", "Reef Panel"),
               QT_TRANSLATE_NOOP("QObject",
                                 "Obstacle panel. A ship cannot pass, or be placed on this panel.")}},
             {PanelShallow,
              {QT_TRANSLATE_NOOP("QObject", "Shallow Panel"),
               QT_TRANSLATE_NOOP("QObject", "Submarine surfaces forcibly. The stealth state of Submarine is "
                                            "disabled continuously on this panel.")}},
             {PanelFog,
              {QT_TRANSLATE_NOOP("QObject", "Fog Panel"),
               QT_TRANSLATE_NOOP("QObject",
                                 "The stealth state is enabled for all types of ships on this panel.")}},
             {PanelHighWave,
              {QT_TRANSLATE_NOOP("QObject", "High Wave Panel"),
               QT_TRANSLATE_NOOP(
                   "QObject", "A ship loses 5FP in addition, when it passes or is placed on this panel.")}},
         }),
         QString());
}

CShipHelp::CShipHelp()
{
    Fill(
        Translate<ShipType>({
            {ShipTypeBattleship,
             {QT_TRANSLATE_NOOP("QObject", "Battleship"),
              QT_TRANSLATE_NOOP("QObject",
                                "High durability, low attack cost. A suitable ship type for close combat.")}},
            {ShipTypeDestroyer,
             {QT_TRANSLATE_NOOP("QObject", "Destroyer"),
              QT_TRANSLATE_NOOP(
                  "QObject", "Multirole, well balanced type, this type can lay a mine and fire a torpedo.")}},
            {ShipTypeSubmarine,
             {QT_TRANSLATE_NOOP("QObject", "Submarine"),
              QT_TRANSLATE_NOOP("QObject", "Stealth when diving, this type doesn't give a lot of hints about "
                                           "itself to other player.")}},
            {ShipTypeOiler,
             {QT_TRANSLATE_NOOP("QObject", "Oiler"),
              QT_TRANSLATE_NOOP("QObject",
                                "Support ship, this type can recovery FP of other ships around itself.")}},
        }),
        QString());
}

} // namespace Marevane
