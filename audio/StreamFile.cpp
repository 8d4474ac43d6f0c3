#include "audio/StreamFile.h"

#include "audio/BinaryStream.h"

namespace Daz {
namespace StreamFile {

bool readHead(BinaryStream& stream, SampleInfo& info)
{
    FileHeader header;
    header.read(stream);
    if (!header.check(kFileType_Stream)) return false;
    return info.read(stream);
}

bool write(BinaryStream& stream, const SampleInfo& info, const void* data)
{
    const long long bytes = info.getDataBytes();
    if (bytes < 0 || bytes > 0x7fffffff || (bytes > 0 && !data)) return false;
    if (!FileHeader::forType(kFileType_Stream).write(stream) || !info.write(stream)) return false;
    return bytes == 0 || stream.write(data, static_cast<int>(bytes)) == static_cast<int>(bytes);
}

} // namespace StreamFile
} // namespace Daz
