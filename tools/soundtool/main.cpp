// marevane-soundtool: makes the engine's bank and stream files from WAV files
// and shows what such a file holds.
#include "SoundFiles.h"
#include "WavFile.h"

#include "audio/Log.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Marevane::SoundTool;

namespace {

const char* const kUsage =
    "usage:\n"
    "  marevane-soundtool bank OUT.ckb --name NAME --format pcm16|pcm8|float|adpcm CUE=IN.wav ...\n"
    "  marevane-soundtool stream OUT.cks --format pcm16|pcm8|float|adpcm [--loop START END COUNT] IN.wav\n"
    "  marevane-soundtool info FILE ...\n";

void engineLog(int level, const char* message)
{
    std::fprintf(stderr, "marevane-soundtool: %s: %s\n", Daz::Log::levelWord(level), message);
}

std::int32_t parseNumber(const std::string& text, const char* what)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < -2147483647L - 1 || value > 2147483647L) {
        throw UsageError(std::string(what) + " \"" + text + "\" is not a whole number");
    }
    return static_cast<std::int32_t>(value);
}

// The value after an option, or a usage error when it is missing.
const std::string& optionValue(const std::vector<std::string>& args, std::size_t& i)
{
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
}

int bank(const std::vector<std::string>& args)
{
    std::string name;
    std::string format;
    std::vector<Cue> cues;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--name") {
            name = optionValue(args, i);
        } else if (args[i] == "--format") {
            format = optionValue(args, i);
        } else {
            const std::size_t equals = args[i].find('=');
            if (equals == std::string::npos) throw UsageError("\"" + args[i] + "\" is no CUE=IN.wav");
            cues.push_back({args[i].substr(0, equals), readWav(args[i].substr(equals + 1))});
        }
    }
    if (name.empty() || format.empty()) throw UsageError("bank needs --name and --format");
    if (cues.empty()) throw UsageError("bank needs at least one CUE=IN.wav");
    writeFile(args[0], makeBank(name, cues, parseFormat(format)));
    return 0;
}

int stream(const std::vector<std::string>& args)
{
    std::string format;
    std::string input;
    Loop loop;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--format") {
            format = optionValue(args, i);
        } else if (args[i] == "--loop") {
            if (i + 3 >= args.size()) throw UsageError("--loop needs START END COUNT");
            loop.start = parseNumber(args[++i], "loop start");
            loop.end = parseNumber(args[++i], "loop end");
            const std::int32_t count = parseNumber(args[++i], "loop count");
            if (count < -1 || count > 32767) throw UsageError("loop count must be -1..32767");
            loop.count = static_cast<std::int16_t>(count);
        } else if (input.empty()) {
            input = args[i];
        } else {
            throw UsageError("stream takes one IN.wav");
        }
    }
    if (format.empty() || input.empty()) throw UsageError("stream needs --format and IN.wav");
    writeFile(args[0], makeStream(readWav(input), parseFormat(format), loop));
    return 0;
}

int info(const std::vector<std::string>& args)
{
    int status = 0;
    for (const std::string& path : args) {
        bool ok = false;
        const std::string text = describe(readFile(path), ok);
        std::printf("%s\n%s", path.c_str(), text.c_str());
        if (!ok) status = 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    Daz::Log::set(kCkLog_All, &engineLog);
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "bank") return bank(args);
        if (command == "stream") return stream(args);
        if (command == "info") return info(args);
        std::fprintf(stderr, "marevane-soundtool: unknown command \"%s\"\n%s", command.c_str(), kUsage);
        return 2;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "marevane-soundtool: %s\n%s", error.what(), kUsage);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "marevane-soundtool: %s\n", error.what());
        return 1;
    }
}
