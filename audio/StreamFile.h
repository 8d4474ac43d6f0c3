// Stream files (.cks): the header, the sample info, then the audio blocks; the
// data begins at byte 44 of the stream, which may be a span of a larger file.
#pragma once

#include "audio/FileFormat.h"

namespace Daz {

class BinaryStream;

namespace StreamFile {

constexpr int kDataOffset = FileHeader::kBytes + SampleInfo::kBytes;

// Reads and checks the header, then the sample info; logs and gives false on a
// header that is no stream's. The stream is left at the first block.
bool readHead(BinaryStream& stream, SampleInfo& info);

// Writes a whole stream file of info.getDataBytes() bytes of data.
bool write(BinaryStream& stream, const SampleInfo& info, const void* data);

} // namespace StreamFile

} // namespace Daz
