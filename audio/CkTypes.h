// Public types of the audio engine that the program hands in: its log sink,
// its memory functions and the base folders of engine paths.
#pragma once

#include <cstddef>

// Log levels; a log mask is a bit set of them.
enum CkLogLevel {
    kCkLog_Info = 1,
    kCkLog_Warning = 2,
    kCkLog_Error = 4,
    kCkLog_All = 7,
};

typedef void* (*CkAllocFunc)(std::size_t bytes);
typedef void (*CkFreeFunc)(void* memory);
typedef void (*CkLogFunc)(int level, const char* message);

// The folder an engine path is taken relative to.
enum CkPathType {
    kCkPathType_AsGiven = 0,
    kCkPathType_Temp = 1,
    kCkPathType_Documents = 2,
    kCkPathType_ExeDir = 3,
};
