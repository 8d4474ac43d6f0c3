#include "audio/Log.h"

#include "audio/TextWriter.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace Daz {

namespace {

std::atomic<unsigned> g_mask{kCkLog_All};
std::atomic<CkLogFunc> g_func{nullptr};

void writeV(int level, const char* format, va_list args)
{
    if (!(g_mask.load() & static_cast<unsigned>(level))) return;
    // Each call formats into its own buffer: the log is shared by every engine thread.
    char message[Log::kMaxMessage];
    std::vsnprintf(message, sizeof message, format, args);
    if (CkLogFunc func = g_func.load()) {
        func(level, message);
        return;
    }
    char line[Log::kMaxMessage + 32];
    std::snprintf(line, sizeof line, "CK %s: %s\n", Log::levelWord(level), message);
    DebugWriter writer;
    writer.write(line);
    writer.flush();
}

} // namespace

void Log::set(unsigned mask, CkLogFunc func)
{
    g_mask = mask;
    g_func = func;
}

unsigned Log::getMask()
{
    return g_mask;
}

CkLogFunc Log::getFunc()
{
    return g_func;
}

const char* Log::levelWord(int level)
{
    switch (level) {
    case kCkLog_Info:
        return "INFO";
    case kCkLog_Warning:
        return "WARNING";
    case kCkLog_Error:
        return "ERROR";
    default:
        return "";
    }
}

void Log::write(int level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeV(level, format, args);
    va_end(args);
}

void Log::info(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeV(kCkLog_Info, format, args);
    va_end(args);
}

void Log::warning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeV(kCkLog_Warning, format, args);
    va_end(args);
}

void Log::error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    writeV(kCkLog_Error, format, args);
    va_end(args);
}

} // namespace Daz
