// The sound tests run with an application object for the managers' Qt
// parts; the managers' warnings are collected, not printed, and no test
// reaches a sound card.
#include "QtMessages.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("MAREVANE_AUDIO_OUTPUT", "dummy", 0);
    QCoreApplication application(argc, argv);
    Marevane::Testing::CollectQtMessages();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
