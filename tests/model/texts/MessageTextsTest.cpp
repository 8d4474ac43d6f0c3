#include "model/texts/MessageTexts.h"

#include "model/CodeTables.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Marevane;

namespace {
enum Lookup { Event, Failure };

const QString& Text(Lookup lookup, MessageCode code)
{
    return lookup == Event ? CGUICore::GetMessage(code) : CGUICore::GetErrorMessage(code);
}
} // namespace

TEST(MessageTexts, TextsOfBothLookups)
{
    struct Case {
        Lookup lookup;
        MessageCode code;
        const char* text;
    };
    const Case cases[] = {
        {Event, 87, "Command is Success."},
        {Event, 89, "You have nothing to be able to command."},
        {Event, 45, "The Battle Starts."},
        {Event, 25, ""},
        {Event, 24, "Conditions of Battle Rule is mismatched."}, // a failure, through the failure texts
        {Event, 2,
         "Network Connection is Failed.\nPlease confirm your settings and retry to connect.\n(Notice: Server "
         "has to "
         "be ready before client connects)"},
        {Event, 17, "ID17: Undefined Message Code"}, // has a failure text but is no failure code
        {Event, 5, "ID5: Undefined Message Code"},
        {Event, 4294967295u, "ID4294967295: Undefined Message Code"},
        {Failure, 1, "Network Connection is Success."}, // through the event texts
        {Failure, 17, "Your Entry is Failed.\nThis server refused a request for battle with you."},
        {Failure, 5, "ID5: Undefined Message Code"},
        {Failure, 107, ""},
        {Failure, 21,
         "Multi-Connection is Refused to prevent illegal action,\nwhen this program has already connected to "
         "the "
         "same server.Please connect to other server."},
        {Failure, 99, "Input of direction is invalid."},
        {Failure, 126, "Incompatible Data Format."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(c.lookup, c.code).toStdString(), c.text) << c.lookup << " " << c.code;
    for (MessageCode code = 110; code <= 118; ++code) {
        EXPECT_TRUE(CGUICore::GetMessage(code).isEmpty()) << code;
        EXPECT_TRUE(CGUICore::GetErrorMessage(code).isEmpty()) << code;
    }
}

TEST(MessageTexts, EveryFailureCodeHasAFailureText)
{
    for (MessageCode code = 0; code <= 130; ++code) {
        if (!IsErrorCode(code)) continue;
        EXPECT_FALSE(CGUICore::GetErrorMessage(code).startsWith("ID")) << code;
        EXPECT_EQ(CGUICore::GetMessage(code), CGUICore::GetErrorMessage(code)) << code;
    }
}

// A refused command always gets a reason: its text where it has one, else
// what the check that gave it means.
TEST(MessageTexts, EveryRefusalHasAReason)
{
    const std::pair<MessageCode, const char*> cases[] = {
        {99, "Input of direction is invalid."},
        {80, "You cannot reinforce this ship because it does not have enough fuel."},
        {107, "Mine: no weapon stock left."},
        {110, "Torpedo: no weapon stock left."},
        {111, "Reinforce: the ship is not sunk."},
        {112, "Reinforce: no reinforcements left, or the side is defeated."},
        {113, "Reinforce: the round is above 20."},
        {114, "Reinforce: another afloat ship of the side stands on the return panel."},
        {115, "Reinforce: the return panel is not known to the side."},
        {116, "Reinforce: the return panel is a boundary panel or not passable."},
        {117, "Refuel: the ship cannot refuel."},
        {118, "ID118: Undefined Message Code"}, // no check gives it
        {119, "ID119: Undefined Message Code"},
    };
    for (const auto& [code, reason] : cases)
        EXPECT_EQ(CGUICore::GetRefusalReason(code).toStdString(), reason) << code;
    for (MessageCode code = 0; code <= 130; ++code) {
        if (!IsErrorCode(code)) continue;
        EXPECT_FALSE(CGUICore::GetRefusalReason(code).isEmpty()) << code;
    }
}

TEST(MessageTexts, KnownTextsAreKeptAndSafeFromAnyThread)
{
    EXPECT_EQ(&CGUICore::GetMessage(87), &CGUICore::GetMessage(87));
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &wrong] {
            for (MessageCode code = 0; code < 130; ++code) {
                const QString expected = QStringLiteral("ID%1: Undefined Message Code").arg(code + 1000);
                if (CGUICore::GetMessage(code + 1000) != expected) ++wrong[t];
                (void)CGUICore::GetErrorMessage(code % 32 + 95); // failures only; see below for code 90
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

namespace {
class CShoutingTranslator : public QTranslator {
  public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return QString::fromLatin1(context) == "Marevane::CGUICore" ? QString::fromLatin1(source).toUpper()
                                                                    : QString();
    }
};
} // namespace

// No other test may ask for code 90, so that its text is first built here.
TEST(MessageTexts, TextIsTranslatedOnceAtItsFirstRequest)
{
    int argc = 1;
    char name[] = "texts-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    CShoutingTranslator translator;
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    EXPECT_EQ(CGUICore::GetMessage(90), QString("INPUT IS VALID."));
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(CGUICore::GetMessage(90), QString("INPUT IS VALID."));
}
