// The audio engine's process-wide entry points and its start-up record.
#pragma once

#include "audio/CkTypes.h"

// Start-up record; its default construction holds the engine's defaults.
struct CkConfig {
    CkConfig();

    CkAllocFunc allocFunc;    // the program's allocation function, or null
    CkFreeFunc freeFunc;      // the program's release function, or null
    unsigned logMask;         // levels written (kCkLog_*)
    CkLogFunc logFunc;        // log sink; null writes to standard output
    float audioUpdateMs;      // period of one render pass
    float streamBufferMs;     // length of a stream's buffer
    float streamFileUpdateMs; // period of the stream file refills
    int maxAudioTasks;        // starting capacity of the audio command queue
    float renderLoadLimit;    // share of audioUpdateMs a render pass may take
    int pipeline;             // 0 floating-point, 2 the platform's default, else fixed-point
};

// Non-zero when the engine runs after the call, also when it already ran.
// Invalid values in `config` are replaced by their defaults in place.
int CkInit(CkConfig* config);
void CkShutdown();
void CkUpdate();
void CkSuspend();
void CkResume();

// The time over which the render path moves a gain to a new target.
float CkGetVolumeRampMs();
void CkSetVolumeRampMs(float ms);
