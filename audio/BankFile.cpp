#include "audio/BankFile.h"

#include "audio/BinaryStream.h"
#include "audio/Log.h"
#include "audio/Memory.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace Daz {

namespace {

// Walks the image; an advance past its end stops there and marks it cut short.
class Cursor {
  public:
    Cursor(const unsigned char* begin, long long bytes) : m_at(begin), m_left(bytes) {}

    const unsigned char* at() const { return m_at; }
    bool truncated() const { return m_truncated; }

    void advance(long long bytes)
    {
        if (bytes < 0 || bytes > m_left) {
            m_truncated = true;
            bytes = bytes < 0 ? 0 : m_left;
        }
        m_at += bytes;
        m_left -= bytes;
    }
    bool fits(long long bytes) const { return bytes >= 0 && bytes <= m_left; }

  private:
    const unsigned char* m_at;
    long long m_left;
    bool m_truncated = false;
};

} // namespace

BankImage::~BankImage()
{
    reset();
}

void BankImage::reset()
{
    Memory::free(m_entries);
    m_entries = nullptr;
    m_count = 0;
    m_processed = false;
    std::memset(m_name, 0, sizeof m_name);
}

bool BankImage::process(const unsigned char* image, int bytes)
{
    reset();
    if (!image || bytes < FileHeader::kBytes) {
        Log::error("Corrupted or truncated bank data");
        return false;
    }
    FileHeader header;
    header.fromBytes(image);
    if (!header.check(kFileType_Bank)) return false;

    Cursor cursor(image + FileHeader::kBytes, bytes - FileHeader::kBytes);
    const unsigned char* record = cursor.at();
    if (!cursor.fits(kRecordBytes)) {
        Log::error("Corrupted or truncated bank data");
        return false;
    }
    cursor.advance(kRecordBytes);
    const std::int32_t count = LittleEndian::i32(record + 40);
    const unsigned char* table = cursor.at();
    // A negative count would walk backwards over the image.
    cursor.advance(count < 0 ? -1 : static_cast<long long>(count) * kEntryBytes);
    if (cursor.truncated()) {
        Log::error("Corrupted or truncated bank data");
        return false;
    }

    m_entries = static_cast<BankEntry*>(Memory::allocZeroed(count > 0 ? count : 1, sizeof(BankEntry)));
    if (!m_entries) return false;
    for (int i = 0; i < count; ++i) {
        const unsigned char* raw = table + static_cast<long long>(i) * kEntryBytes;
        BankEntry& entry = m_entries[i];
        std::memcpy(entry.name, raw, Name::kBytes);
        entry.name[Name::kBytes - 1] = '\0';
        entry.info.fromBytes(raw + 32);
        entry.dataBytes = LittleEndian::u32(raw + 60);
        entry.data = cursor.at();
        char what[Name::kBytes + 16];
        std::snprintf(what, sizeof what, "Sample \"%s\"", entry.name);
        if (!entry.info.check(what)) {
            reset();
            return false;
        }
        // Sounds read blocks x bytes per block, so the data must hold them all.
        const bool blocksFit = entry.info.getDataBytes() <= entry.dataBytes;
        cursor.advance(entry.dataBytes);
        if (cursor.truncated() || !blocksFit) {
            Log::error("Corrupted or truncated bank data");
            reset();
            return false;
        }
    }
    std::memcpy(m_name, record, Name::kBytes);
    m_name[Name::kBytes - 1] = '\0';
    m_count = count;
    m_processed = true;
    return true;
}

const BankEntry* BankImage::getEntry(int index) const
{
    return index >= 0 && index < m_count ? &m_entries[index] : nullptr;
}

const BankEntry* BankImage::findEntry(const char* name) const
{
    if (!name) return nullptr;
    for (int i = 0; i < m_count; ++i) {
        if (Name::equals(m_entries[i].name, name)) return &m_entries[i];
    }
    return nullptr;
}

bool BankImage::write(BinaryStream& stream, const char* bankName, const BankSample* samples, int count)
{
    if (count < 0 || (count > 0 && !samples)) return false;
    if (!FileHeader::forType(kFileType_Bank).write(stream)) return false;

    unsigned char record[kRecordBytes] = {};
    Name::copy(reinterpret_cast<char*>(record), bankName);
    LittleEndian::put32(record + 40, static_cast<std::uint32_t>(count));
    if (stream.write(record, kRecordBytes) != kRecordBytes) return false;

    for (int i = 0; i < count; ++i) {
        unsigned char entry[kEntryBytes] = {};
        Name::copy(reinterpret_cast<char*>(entry), samples[i].name);
        samples[i].info.toBytes(entry + 32);
        LittleEndian::put32(entry + 60, samples[i].dataBytes);
        if (stream.write(entry, kEntryBytes) != kEntryBytes) return false;
    }
    for (int i = 0; i < count; ++i) {
        const int bytes = static_cast<int>(samples[i].dataBytes);
        if (bytes < 0 || (bytes > 0 && !samples[i].data)) return false;
        if (bytes > 0 && stream.write(samples[i].data, bytes) != bytes) return false;
    }
    return true;
}

} // namespace Daz
