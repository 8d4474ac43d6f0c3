// The engine log: one per process, written from every engine thread.
#pragma once

#include "audio/CkTypes.h"

namespace Daz {

class Log {
  public:
    // Longest message kept; longer ones are cut.
    static constexpr int kMaxMessage = 256;

    // Which levels are written and where; a null function writes to standard output.
    static void set(unsigned mask, CkLogFunc func);
    static unsigned getMask();
    static CkLogFunc getFunc();

    static void write(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
    static void info(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void error(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // The word a line carries for its level, empty for an unknown level.
    static const char* levelWord(int level);
};

} // namespace Daz
