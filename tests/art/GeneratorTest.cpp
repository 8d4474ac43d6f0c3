#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Outcome {
    int exitCode = -1;
    QString errors;
};

Outcome generate(const QStringList& args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(MAREVANE_ART_EXE, args);
    if (!process.waitForFinished(60000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

std::map<QString, QByteArray> filesUnder(const QString& root)
{
    std::map<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        out[path.mid(root.size())] = file.readAll();
    }
    return out;
}

TEST(Generator, TwoRunsWriteTheSameBytes)
{
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    ASSERT_EQ(generate({"--out", first.path(), "--fonts", MAREVANE_MPLUS_DIR}).exitCode, 0);
    ASSERT_EQ(generate({"--out", second.path(), "--fonts", MAREVANE_MPLUS_DIR}).exitCode, 0);
    const auto a = filesUnder(first.path());
    const auto b = filesUnder(second.path());
    // 220 pictures, the icon, the collection file and the contact sheet.
    EXPECT_EQ(a.size(), 223u);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        ASSERT_TRUE(b.count(name)) << name.toStdString();
        EXPECT_TRUE(bytes == b.at(name)) << name.toStdString();
    }
    EXPECT_TRUE(a.count("/marevane_images.qrc"));
    EXPECT_TRUE(a.count("/contact-sheet.png"));
}

TEST(Generator, MissingFontsFailWithAMessageAndWriteNothing)
{
    QTemporaryDir out;
    const Outcome run = generate({"--out", out.path(), "--fonts", out.path() + "/no-fonts-here"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("cannot load font")) << run.errors.toStdString();
    EXPECT_TRUE(filesUnder(out.path()).empty());
}

TEST(Generator, UnknownArgumentIsRefused)
{
    const Outcome run = generate({"--colour", "red"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("usage")) << run.errors.toStdString();
}

TEST(Generator, BuildMadeTheContactSheet)
{
    const QImage sheet(MAREVANE_CONTACT_SHEET);
    ASSERT_FALSE(sheet.isNull()) << MAREVANE_CONTACT_SHEET;
    EXPECT_GE(sheet.width(), 1000);
    EXPECT_GE(sheet.height(), 1000);
}

} // namespace
