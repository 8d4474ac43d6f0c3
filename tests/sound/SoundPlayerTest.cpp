// The listening player on the generated sounds, rendering ahead of real
// time on the dummy output into a capture file.
#if defined(MAREVANE_SOUND_PLAYER)

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct PlayerRun {
    int status = -1;
    std::string output;
    std::vector<float> captured; // float stereo
};

PlayerRun RunPlayer(const QStringList& args)
{
    QTemporaryDir folder;
    const QString capture = folder.filePath(QStringLiteral("capture.f32"));
    QProcess player;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MAREVANE_AUDIO_OUTPUT"), QStringLiteral("dummy"));
    environment.insert(QStringLiteral("MAREVANE_AUDIO_CAPTURE"), capture);
    player.setProcessEnvironment(environment);
    player.setProcessChannelMode(QProcess::MergedChannels);
    player.start(QStringLiteral(MAREVANE_SOUND_PLAYER), args);
    PlayerRun run;
    if (!player.waitForFinished(60000)) return run;
    run.status = player.exitStatus() == QProcess::NormalExit ? player.exitCode() : -1;
    run.output = player.readAll().toStdString();
    std::ifstream file(capture.toStdString(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    run.captured.resize(bytes.size() / sizeof(float));
    if (!run.captured.empty())
        std::memcpy(run.captured.data(), bytes.data(), run.captured.size() * sizeof(float));
    return run;
}

double Rms(const std::vector<float>& stereo, double fromSeconds, double seconds)
{
    const std::size_t first = static_cast<std::size_t>(fromSeconds * 48000) * 2;
    const std::size_t count = static_cast<std::size_t>(seconds * 48000) * 2;
    double sum = 0.0;
    for (std::size_t i = first; i < first + count && i < stereo.size(); ++i) sum += stereo[i] * stereo[i];
    return std::sqrt(sum / static_cast<double>(count));
}

TEST(SoundPlayer, PlaysTheThemeFadingInWithEffectsAndFadesOutAtTheEnd)
{
    const PlayerRun run = RunPlayer({"--music", "1", "--effect", "12", "--effect", "10", "--seconds", "5"});
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("music 1 \"Marevane Theme\" for 5 s")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("effect 12 \"Sinking SE\" at 2.5 s")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("effect 10 \"Attack SE\" at 4.0 s")) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("ERROR")) << run.output;
    // 5 s, then the 2 s fade-out and its margin.
    EXPECT_NEAR(5.0 + 2.01, run.captured.size() / 2 / 48000.0, 0.01);
    const double playing = Rms(run.captured, 1.0, 1.0);
    EXPECT_GT(playing, 0.01);
    EXPECT_LT(Rms(run.captured, 0.0, 0.1), 0.1 * playing);
    EXPECT_LT(Rms(run.captured, 6.5, 0.5), 0.01 * playing);
}

TEST(SoundPlayer, UnknownCodesAndBadOptionsEndWithStatusTwo)
{
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"--music", "12"}, "no music has the code 12"},
        {{"--music", "1", "--effect", "16"}, "no sound effect has the code 16"},
        {{"--music", "-1"}, "no music has the code -1"},
        {{"--music", "theme"}, "music code \"theme\" is not a number"},
        {{"--effect", "1"}, "--music CODE is missing"},
        {{"--music", "1", "--seconds", "0"}, "--seconds takes a number of seconds above 0"},
        {{"--music"}, "--music needs a value"},
        {{"--loud"}, "unknown option \"--loud\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const PlayerRun run = RunPlayer(c.args);
        EXPECT_EQ(2, run.status);
        EXPECT_NE(std::string::npos, run.output.find(c.message)) << run.output;
        EXPECT_TRUE(run.captured.empty());
    }
}

} // namespace

#endif
