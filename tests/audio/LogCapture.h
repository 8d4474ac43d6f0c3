// Collects the engine's log lines while a test runs.
#pragma once

#include "audio/Log.h"

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

struct LogLine {
    int level;
    std::string text;
    bool operator==(const LogLine& other) const { return level == other.level && text == other.text; }
};

class LogCapture {
  public:
    LogCapture()
    {
        lines().clear();
        Daz::Log::set(kCkLog_All, &LogCapture::sink);
    }
    ~LogCapture() { Daz::Log::set(kCkLog_All, nullptr); }

    static std::vector<LogLine>& lines()
    {
        static std::vector<LogLine> captured;
        return captured;
    }

  private:
    static void sink(int level, const char* message)
    {
        static std::mutex mutex;
        std::lock_guard<std::mutex> lock(mutex);
        lines().push_back({level, message});
    }
};

inline std::ostream& operator<<(std::ostream& out, const LogLine& line)
{
    return out << line.level << ":" << line.text;
}
