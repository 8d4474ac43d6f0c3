// What the shell's tests share: the settings they change, waiting on a
// condition with the event loop running, and the screen timing of tests.
#pragma once

#include "model/settings/SystemConfig.h"

#include <QCoreApplication>
#include <QString>
#include <QtCore/qtestsupport_core.h>

#include <gtest/gtest.h>

#include <ostream>

// Readable failures for texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace Marevane::Testing {

// Runs the event loop until the condition holds or the time is up.
template <class Condition> bool WaitUntil(Condition condition, int timeoutMs = 5000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

// Lets the loop handle what is queued, deferred deletes included.
inline void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every test starts from the default settings, OpenGL off (no display).
class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        CSystemConfig::GetInstance() = CSystemConfig();
        CSystemConfig::GetInstance().OpenGL = false;
    }
    void TearDown() override
    {
        Settle();
        CSystemConfig::GetInstance() = CSystemConfig();
    }
};

} // namespace Marevane::Testing
