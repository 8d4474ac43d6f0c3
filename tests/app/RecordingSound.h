// A sound control that writes down what the shell asks of the sound managers.
#pragma once

#include "app/SoundControl.h"

#include <string>
#include <vector>

namespace Marevane::Testing {

class CRecordingSound : public CSoundControl {
  public:
    explicit CRecordingSound(std::vector<std::string>* log) : m_log(log) {}

    void Start() override { Note("Start"); }
    void Stop() override { Note("Stop"); }
    void SetMasterVolume(int percent) override { Note("MasterVolume", percent); }
    void SetMasterMute(bool isMute) override { Note("MasterMute", isMute); }
    void SetBgmMute(bool isMute) override { Note("BgmMute", isMute); }
    void SetBgmVolume(int percent) override { Note("BgmVolume", percent); }
    void SetSeVolume(int percent) override { Note("SeVolume", percent); }
    void SetSeMute(bool isMute) override { Note("SeMute", isMute); }
    void LoadSe(Sound::SeType type) override { Note("LoadSe", static_cast<int>(type)); }
    void UnloadSe(Sound::SeType type) override { Note("UnloadSe", static_cast<int>(type)); }
    void PlaySe(Sound::SeCode code, bool isDucking) override
    {
        Note("PlaySe", static_cast<int>(code));
        if (!isDucking) Note("no ducking");
    }
    void PlayBgm(Sound::BgmCode code) override { Note("PlayBgm", static_cast<int>(code)); }
    void StopBgm() override { Note("StopBgm"); }
    Sound::BgmCode ChooseBgm(Sound::BgmType type) override
    {
        const Sound::BgmCode code = CSoundControl::ChooseBgm(type);
        Note("ChooseBgm", static_cast<int>(code));
        return code;
    }

  private:
    void Note(const char* call) { m_log->push_back(call); }
    void Note(const char* call, int value)
    {
        m_log->push_back(std::string(call) + " " + std::to_string(value));
    }

    std::vector<std::string>* m_log;
};

} // namespace Marevane::Testing
