// The display tests run on the X display they are given (xvfb-run), in a
// working directory of their own, at 1/20 of the screens' timing. Listing
// the tests needs no display.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    bool isListing = false;
    for (int i = 1; i < argc; ++i) isListing = isListing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (isListing) return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("MAREVANE_TIME_SCALE")) qputenv("MAREVANE_TIME_SCALE", "0.05");
    // Nothing reaches a sound card.
    if (qEnvironmentVariableIsEmpty("MAREVANE_AUDIO_OUTPUT")) qputenv("MAREVANE_AUDIO_OUTPUT", "dummy");
    qunsetenv("QT_QPA_PLATFORM");
    QApplication application(argc, argv);
    QTemporaryDir workingDirectory;
    if (!workingDirectory.isValid() || !QDir::setCurrent(workingDirectory.path())) return 2;
    return RUN_ALL_TESTS();
}
