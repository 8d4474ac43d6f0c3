// The test programs of the shell run offscreen in a working directory of
// their own (the settings file is looked for there), at 1/20 of the
// screens' real timing, without a sound card.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("MAREVANE_TIME_SCALE")) qputenv("MAREVANE_TIME_SCALE", "0.05");
    // The game's sound stays off the sound card: the engine runs on its dummy output.
    if (qEnvironmentVariableIsEmpty("MAREVANE_AUDIO_OUTPUT")) qputenv("MAREVANE_AUDIO_OUTPUT", "dummy");
    QApplication application(argc, argv);
    QTemporaryDir workingDirectory;
    if (!workingDirectory.isValid() || !QDir::setCurrent(workingDirectory.path())) return 2;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
