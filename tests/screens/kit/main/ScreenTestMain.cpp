// A screen test program runs in a working directory of its own, at 1/20 of
// the screens' real timing, without a sound card: offscreen with OpenGL off,
// or, built for the xvfb group, on the display it is given with OpenGL on.
// Listing the tests needs no display.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

#ifndef MAREVANE_SCREEN_OPENGL
#define MAREVANE_SCREEN_OPENGL 0
#endif

int main(int argc, char** argv)
{
    bool isListing = false;
    for (int i = 1; i < argc; ++i) isListing = isListing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (isListing) return RUN_ALL_TESTS();
    if (MAREVANE_SCREEN_OPENGL) {
        qunsetenv("QT_QPA_PLATFORM");
        qputenv("MAREVANE_SCREEN_OPENGL", "1");
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("MAREVANE_TIME_SCALE")) qputenv("MAREVANE_TIME_SCALE", "0.05");
    if (qEnvironmentVariableIsEmpty("MAREVANE_AUDIO_OUTPUT")) qputenv("MAREVANE_AUDIO_OUTPUT", "dummy");
    QApplication application(argc, argv);
    QTemporaryDir workingDirectory;
    if (!workingDirectory.isValid() || !QDir::setCurrent(workingDirectory.path())) return 2;
    return RUN_ALL_TESTS();
}
