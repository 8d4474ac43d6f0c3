#include "audio/SystemFolders.h"

#include "audio/CkTypes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace Daz {

namespace {

void findHome(Path& home)
{
    const char* env = std::getenv("HOME");
    if (env && *env) {
        home.set(env);
        return;
    }
    const passwd* entry = getpwuid(getuid());
    home.set(entry && entry->pw_dir ? entry->pw_dir : ".");
}

// The documents folder as the user's XDG user-dirs file names it, else home.
void findDocuments(Path& documents)
{
    Path home;
    findHome(home);
    Path config;
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome) {
        config.set(configHome);
    } else {
        config.set(home.getBuffer());
        config.append("/.config");
    }
    config.append("/user-dirs.dirs");
    documents.set(home.getBuffer());
    std::FILE* file = std::fopen(config.getBuffer(), "r");
    if (!file) return;
    char line[512];
    static const char kKey[] = "XDG_DOCUMENTS_DIR=\"";
    while (std::fgets(line, sizeof line, file)) {
        if (std::strncmp(line, kKey, sizeof kKey - 1) != 0) continue;
        const char* value = line + sizeof kKey - 1;
        const char* end = std::strchr(value, '"');
        if (!end) break;
        Path found;
        // Values are absolute or start with $HOME; nothing else is expanded.
        if (std::strncmp(value, "$HOME", 5) == 0) {
            found.set(home.getBuffer());
            value += 5;
        } else if (*value != '/') {
            break;
        }
        for (; value < end; ++value) found.append(*value);
        documents.set(found.getBuffer());
        break;
    }
    std::fclose(file);
}

void findExeDir(Path& exeDir)
{
    char buffer[Path::kCapacity];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) {
        exeDir.set(".");
        return;
    }
    buffer[length] = '\0';
    Path exe(buffer);
    exe.normalize();
    exe.getFolder(exeDir);
}

void findTemp(Path& temp)
{
    const char* env = std::getenv("TMPDIR");
    temp.set(env && *env ? env : "/tmp");
}

} // namespace

const SystemFolders& SystemFolders::get()
{
    static const SystemFolders folders;
    return folders;
}

SystemFolders::SystemFolders()
{
    findExeDir(m_exeDir);
    findTemp(m_tempDir);
    m_tempDir.normalize();
    findDocuments(m_documentsDir);
    m_documentsDir.normalize();
}

SystemFolders::SystemFolders(const char* exeDir, const char* tempDir, const char* documentsDir)
    : m_exeDir(exeDir), m_tempDir(tempDir), m_documentsDir(documentsDir)
{
    m_exeDir.normalize();
    m_tempDir.normalize();
    m_documentsDir.normalize();
}

const char* SystemFolders::getFolder(int pathType) const
{
    switch (pathType) {
    case kCkPathType_Temp:
        return getTempDir();
    case kCkPathType_Documents:
        return getDocumentsDir();
    case kCkPathType_ExeDir:
        return getExeDir();
    default:
        return nullptr;
    }
}

} // namespace Daz
