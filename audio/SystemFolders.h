// The folders engine paths are taken against: the executable's folder, the
// temporary folder and the user's documents folder (XDG).
#pragma once

#include "audio/Path.h"

namespace Daz {

class SystemFolders {
  public:
    // This process's folders, found on first use.
    static const SystemFolders& get();

    // Given folders, normalised.
    SystemFolders(const char* exeDir, const char* tempDir, const char* documentsDir);

    const char* getExeDir() const { return m_exeDir.getBuffer(); }
    const char* getTempDir() const { return m_tempDir.getBuffer(); }
    const char* getDocumentsDir() const { return m_documentsDir.getBuffer(); }
    // The base folder of a path type; null when the path is used as given.
    const char* getFolder(int pathType) const;

  private:
    SystemFolders();

    Path m_exeDir;
    Path m_tempDir;
    Path m_documentsDir;
};

} // namespace Daz
