// The fixed tables behind the sound managers: every music file, title, loop
// point, bank cue and ducking value. Each is built once on first use and is
// read-only afterwards, so any thread may read it.
#pragma once

#include "model/MappingObject.h"
#include "sound/SoundTypes.h"

#include <string>
#include <vector>

namespace Marevane {
namespace Sound {

// Music files, relative to the executable's folder.
class CBgmFilePaths : public CMappingObject<BgmCode, std::string> {
  public:
    static const CBgmFilePaths& GetInstance();

  private:
    CBgmFilePaths();
};

class CBgmNames : public CMappingObject<BgmCode, std::string> {
  public:
    static const CBgmNames& GetInstance();

  private:
    CBgmNames();
};

// The tracks a random choice picks from.
class CBgmGroupMap : public CMappingObject<BgmType, std::vector<BgmCode>> {
  public:
    static const CBgmGroupMap& GetInstance();

  private:
    CBgmGroupMap();
};

class CBgmLoopSettings : public CMappingObject<BgmCode, LoopPos> {
  public:
    static const CBgmLoopSettings& GetInstance();

  private:
    CBgmLoopSettings();
};

// Each effect's bank and cue.
class CBankProfiles : public CMappingObject<SeCode, SeProperty> {
  public:
    static const CBankProfiles& GetInstance();

  private:
    CBankProfiles();
};

class CSeNames : public CMappingObject<SeCode, std::string> {
  public:
    static const CSeNames& GetInstance();

  private:
    CSeNames();
};

// The effects of each bank, in the order of the bank profiles.
class CSeGroupMap : public CMappingObject<SeType, std::vector<SeCode>> {
  public:
    static const CSeGroupMap& GetInstance();

  private:
    CSeGroupMap();
};

// Bank files, relative to the executable's folder.
class CSeFilePaths : public CMappingObject<SeType, std::string> {
  public:
    static const CSeFilePaths& GetInstance();

  private:
    CSeFilePaths();
};

class CSeLoopSettings : public CMappingObject<SeCode, LoopPos> {
  public:
    static const CSeLoopSettings& GetInstance();

  private:
    CSeLoopSettings();
};

class CSeDuckingSettings : public CMappingObject<SeCode, DuckingParam> {
  public:
    static const CSeDuckingSettings& GetInstance();

  private:
    CSeDuckingSettings();
};

} // namespace Sound
} // namespace Marevane
