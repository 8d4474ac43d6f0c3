// Engine paths: a fixed text of 384 bytes, resolved against a system folder
// and normalised to this platform's separator.
#pragma once

#include "audio/CkTypes.h"
#include "audio/String.h"

namespace Daz {

class SystemFolders;

class Path : public FixedString<384> {
  public:
    static constexpr int kCapacity = 384;
    // Paths are written with either slash; this is the one they end up with.
    static constexpr char kSeparator = '/';
    static constexpr char kOtherSeparator = '\\';

    Path() = default;
    explicit Path(const char* path) : FixedString<384>(path) {}
    // The path taken against the base folder of its path type, then normalised.
    Path(const char* path, int pathType);
    Path(const char* path, int pathType, const SystemFolders& folders);

    void resolve(const char* path, int pathType, const SystemFolders& folders);
    void normalize();

    // The folder that holds this path: "." when it names none.
    void getFolder(Path& folder) const;
    // The text after the last dot of the last path element; null when it has none.
    const char* getExtension() const;
};

} // namespace Daz
