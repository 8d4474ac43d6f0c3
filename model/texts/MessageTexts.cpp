#include "model/texts/MessageTexts.h"

#include "model/CodeTables.h"

#include <QCoreApplication>

#include <map>
#include <mutex>

namespace Marevane {

namespace {

const char* const Context = "Marevane::CGUICore";

// Source texts, each translated on its first request and kept from then on,
// so a later change of language leaves texts already shown as they were.
class CTextTable {
  public:
    explicit CTextTable(std::map<MessageCode, const char*> sources) : m_sources(std::move(sources)) {}

    const QString* Find(MessageCode code) const
    {
        const auto source = m_sources.find(code);
        if (source == m_sources.end()) return nullptr;
        std::lock_guard<std::mutex> lock(m_mutex);
        auto text = m_texts.find(code);
        if (text == m_texts.end())
            text = m_texts.emplace(code, QCoreApplication::translate(Context, source->second)).first;
        return &text->second; // map nodes never move
    }

  private:
    const std::map<MessageCode, const char*> m_sources;
    mutable std::mutex m_mutex;
    mutable std::map<MessageCode, QString> m_texts;
};

const CTextTable& Messages()
{
    static const CTextTable table({
        {1, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Network Connection is Success.")},
        {4, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Network Connection is Closed.")},
        {16, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Your Entry is Accepted.")},
        {18,
         QT_TRANSLATE_NOOP("Marevane::CGUICore", "Your Entry is Accepted. You will join as an Audience.")},
        {25, ""},
        {26, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Request is Accepted.")},
        {27, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Request is Rejected.")},
        {36, ""},
        {37, ""},
        {39, ""},
        {40, ""},
        {42, ""},
        {43, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The Configuration of Player Data is Completed.")},
        {44, ""},
        {45, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The Battle Starts.")},
        {47, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The Battle Ends.")},
        {51, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The Current Turn Starts.")},
        {52, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The Current Turn Ends.")},
        {53, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Sends a Command.")},
        {56, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Refreshes a Display Status.")},
        {64, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Loading is canceled.")},
        {66, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Requests the Result of the current Turn.")},
        {69, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Checks the End of the current Turn.")},
        {72, QT_TRANSLATE_NOOP("Marevane::CGUICore", "A Process Before Action.")},
        {73, QT_TRANSLATE_NOOP("Marevane::CGUICore", "A Process After Action.")},
        {82, QT_TRANSLATE_NOOP("Marevane::CGUICore", "There is no target to refuel.")},
        {84, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Poem Not So Bad.")},
        {85, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Fine Poem.")},
        {86, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Miserable Poem.")},
        {87, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Command is Success.")},
        {89, QT_TRANSLATE_NOOP("Marevane::CGUICore", "You have nothing to be able to command.")},
        {90, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Input is valid.")},
    });
    return table;
}

std::map<MessageCode, const char*> ErrorSources()
{
    std::map<MessageCode, const char*> sources = {
        {2, QT_TRANSLATE_NOOP(
                "Marevane::CGUICore",
                "Network Connection is Failed.\nPlease confirm your settings and retry to connect.\n"
                "(Notice: Server has to be ready before client connects)")},
        {3, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                              "Network Connection is Refused.\nYou are refused to connect by this server.\n"
                              "Please confirm your settings and retry to connect.")},
        {17, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "Your Entry is Failed.\nThis server refused a request for battle with you.")},
        {19,
         QT_TRANSLATE_NOOP("Marevane::CGUICore",
                           "The capacity of players is over on this battle.\nThe server might have selected "
                           "the other rival.\nConnection with the server will be closed...")},
        {20, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The capacity of connections is over.")},
        {21,
         QT_TRANSLATE_NOOP("Marevane::CGUICore",
                           "Multi-Connection is Refused to prevent illegal action,\nwhen this program has "
                           "already connected to the same server.Please connect to other server.")},
        {22,
         QT_TRANSLATE_NOOP("Marevane::CGUICore",
                           "Watching this battle is prohibited. Audience Mode is disabled.\nConnection will "
                           "be closed.")},
        {24, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Conditions of Battle Rule is mismatched.")},
        {41, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Configuration of your player data is failed.")},
        {75, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "This ship cannot move because it does not have enough fuel.")},
        {76,
         QT_TRANSLATE_NOOP("Marevane::CGUICore", "This ship does not have enough fuel to pay additional cost "
                                                 "when it moves for the distance you input.")},
        {77, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "This ship cannot attack because it does not have enough fuel.")},
        {78, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "This ship cannot fire a torpedo because it does not have enough fuel.")},
        {79, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "This ship cannot fire a torpedo because torpedoes on battle map amount to "
                               "limitation.")},
        {80, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "You cannot reinforce this ship because it does not have enough fuel.")},
        {81, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                               "This ship cannot refuel because it does not have enough fuel.")},
        {88, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Command is failed. Please retry to input it.")},
        {95, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Input is invalid.")},
        {96, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Input of command type is invalid.")},
        {97, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Input of ship number is invalid.")},
        {98, QT_TRANSLATE_NOOP("Marevane::CGUICore", "This ship you select has been already sunk.")},
        {99, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Input of direction is invalid.")},
        {100, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Input of distance is invalid.")},
        {101, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Ships cannot move to this panel.")},
        {102, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Other ship has been already placed on this panel.")},
        {103, QT_TRANSLATE_NOOP("Marevane::CGUICore", "This ship you select cannot attack.")},
        {104, QT_TRANSLATE_NOOP("Marevane::CGUICore", "You command to attack on invalid panel.")},
        {105, QT_TRANSLATE_NOOP("Marevane::CGUICore", "This ship you select cannot lay a mine.")},
        {106, QT_TRANSLATE_NOOP("Marevane::CGUICore", "You command to lay a mine on invalid panel.")},
        {107, ""},
        {108, QT_TRANSLATE_NOOP("Marevane::CGUICore", "This ship you select cannot fire a torpedo.")},
        {109, QT_TRANSLATE_NOOP("Marevane::CGUICore", "You command to fire a torpedo into invalid panel.")},
        {121, QT_TRANSLATE_NOOP("Marevane::CGUICore", "The length of your player name is invalid.")},
        {122,
         QT_TRANSLATE_NOOP("Marevane::CGUICore",
                           "Your player name is the same as the other player who has already registered.")},
        {123, QT_TRANSLATE_NOOP("Marevane::CGUICore", "An Invalid Packet is received.")},
        {124, QT_TRANSLATE_NOOP(
                  "Marevane::CGUICore",
                  "Invalid Disconnection.\nEither host may have operated this program incorrectly.")},
        {125,
         QT_TRANSLATE_NOOP("Marevane::CGUICore", "An Incompatible Packet is received.\nPlease check that "
                                                 "versions of softwares are correct.")},
        {126, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Incompatible Data Format.")},
    };
    for (MessageCode code = 110; code <= 118; ++code) sources.emplace(code, "");
    return sources;
}

const CTextTable& Errors()
{
    static const CTextTable table(ErrorSources());
    return table;
}

// What the refusals without words of their own mean, in the words of the
// checks that give them.
const CTextTable& RefusalMeanings()
{
    static const CTextTable table({
        {107, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Mine: no weapon stock left.")},
        {110, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Torpedo: no weapon stock left.")},
        {111, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Reinforce: the ship is not sunk.")},
        {112, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                                "Reinforce: no reinforcements left, or the side is defeated.")},
        {113, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Reinforce: the round is above 20.")},
        {114, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                                "Reinforce: another afloat ship of the side stands on the return panel.")},
        {115,
         QT_TRANSLATE_NOOP("Marevane::CGUICore", "Reinforce: the return panel is not known to the side.")},
        {116, QT_TRANSLATE_NOOP("Marevane::CGUICore",
                                "Reinforce: the return panel is a boundary panel or not passable.")},
        {117, QT_TRANSLATE_NOOP("Marevane::CGUICore", "Refuel: the ship cannot refuel.")},
    });
    return table;
}

// One text per thread, rewritten on each request, as callers hold it only
// until their next request.
const QString& Undefined(MessageCode code)
{
    static const QString suffix = QCoreApplication::translate(
        Context, QT_TRANSLATE_NOOP("Marevane::CGUICore", ": Undefined Message Code"));
    thread_local QString text;
    text = QStringLiteral("ID") + QString::number(code) + suffix;
    return text;
}

} // namespace

const QString& CGUICore::GetMessage(MessageCode code)
{
    if (const QString* text = Messages().Find(code)) return *text;
    if (IsErrorCode(code))
        if (const QString* text = Errors().Find(code)) return *text;
    return Undefined(code);
}

QString CGUICore::GetRefusalReason(MessageCode code)
{
    const QString* text = Errors().Find(code);
    if (text == nullptr) text = Messages().Find(code);
    if (text != nullptr && !text->isEmpty()) return *text;
    if (const QString* meaning = RefusalMeanings().Find(code)) return *meaning;
    return Undefined(code);
}

const QString& CGUICore::GetErrorMessage(MessageCode code)
{
    if (const QString* text = Errors().Find(code)) return *text;
    if (const QString* text = Messages().Find(code)) return *text;
    return Undefined(code);
}

} // namespace Marevane
