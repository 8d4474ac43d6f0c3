#include "ToolOptions.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace Marevane {

std::uint64_t ParseToolNumber(const std::string& text, const char* what)
{
    // stoull would take "-1" as the largest number.
    if (!text.empty() && text[0] != '-' && text[0] != '+') {
        try {
            std::size_t used = 0;
            const unsigned long long value = std::stoull(text, &used, 0);
            if (used == text.size()) return value;
        } catch (const std::exception&) {
        }
    }
    throw ToolUsageError(std::string("invalid ") + what + ": " + text);
}

MapPos ParseMapSize(const std::string& text)
{
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) throw ToolUsageError("--size takes RxC");
    const std::uint64_t rows = ParseToolNumber(text.substr(0, x), "row count");
    const std::uint64_t columns = ParseToolNumber(text.substr(x + 1), "column count");
    if (rows < 3 || rows > 9 || columns < 3 || columns > 9)
        throw ToolUsageError("--size takes 3 to 9 rows and columns");
    return MapPos(static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(columns));
}

std::uint32_t ParseSideCount(const std::string& text)
{
    const std::uint64_t sides = ParseToolNumber(text, "side count");
    if (sides < 2 || sides > 4) throw ToolUsageError("--sides takes 2 to 4");
    return static_cast<std::uint32_t>(sides);
}

std::uint32_t ParseSeed(const std::string& text)
{
    const std::uint64_t seed = ParseToolNumber(text, "seed");
    if (seed > 0xFFFFFFFFu) throw ToolUsageError("--seed takes a 32-bit number");
    return static_cast<std::uint32_t>(seed);
}

std::string LogFolderProblem(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    struct stat info {};
    if (stat(path.constData(), &info) != 0) return std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return std::strerror(ENOTDIR);
    if (access(path.constData(), W_OK | X_OK) != 0) return std::strerror(errno);
    return std::string();
}

std::string ShownFolder(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).absoluteFilePath())
        .toStdString();
}

void ReadToolOptions(const std::vector<std::string>& args, const ToolOptionTaker& take)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const ToolOptionValue value = [&]() -> std::string {
            if (i + 1 >= args.size() || args[i + 1].empty()) throw ToolUsageError("missing value for " + arg);
            return args[++i];
        };
        if (take(arg, value)) continue;
        if (arg == "--help" || arg == "-h") throw ToolUsageError("");
        throw ToolUsageError("unknown option " + arg);
    }
}

} // namespace Marevane
