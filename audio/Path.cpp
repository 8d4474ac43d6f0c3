#include "audio/Path.h"

#include "audio/CkTypes.h"
#include "audio/SystemFolders.h"

namespace Daz {

Path::Path(const char* path, int pathType)
{
    resolve(path, pathType, SystemFolders::get());
}

Path::Path(const char* path, int pathType, const SystemFolders& folders)
{
    resolve(path, pathType, folders);
}

void Path::resolve(const char* path, int pathType, const SystemFolders& folders)
{
    const char* base = folders.getFolder(pathType);
    if (base) {
        set(base);
        append(kSeparator);
        append(path);
    } else {
        set(path);
    }
    normalize();
}

void Path::normalize()
{
    const char sep[2] = {kSeparator, '\0'};
    const char dotSep[3] = {'.', kSeparator, '\0'};
    const char sepDot[3] = {kSeparator, '.', '\0'};
    const char sepDotSep[4] = {kSeparator, '.', kSeparator, '\0'};

    replace(kOtherSeparator, kSeparator);
    // A leading pair (a network path) stays; any other doubled separator becomes one.
    for (int i = 2; i < getLength();) {
        if ((*this)[i] == kSeparator && (*this)[i - 1] == kSeparator) {
            erase(i, 1);
        } else {
            ++i;
        }
    }
    if (getLength() > 1 && endsWith(sep)) setLength(getLength() - 1);
    replace(sepDotSep, sep);
    if (startsWith(dotSep)) erase(0, 2);
    if (endsWith(sepDot)) setLength(getLength() == 2 ? 1 : getLength() - 2);
}

void Path::getFolder(Path& folder) const
{
    const int cut = findLast(kSeparator);
    if (cut < 0) {
        folder.set(".");
        return;
    }
    folder.set(getBuffer());
    const bool driveRoot = cut == 2 && (*this)[1] == ':';
    folder.setLength(cut == 0 || driveRoot ? cut + 1 : cut);
}

const char* Path::getExtension() const
{
    const int dot = findLast('.');
    if (dot < 0 || dot < findLast(kSeparator)) return nullptr;
    return getBuffer() + dot + 1;
}

} // namespace Daz
