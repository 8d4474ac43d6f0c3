// Bank files (.ckb): the header, a 56-byte bank record, a table of 72-byte
// entries, then every sample's data in entry order without gaps.
#pragma once

#include "audio/FileFormat.h"

namespace Daz {

class BinaryStream;

struct BankEntry {
    char name[Name::kBytes];
    SampleInfo info;
    std::uint32_t dataBytes;
    // Inside the bank image the entry was read from.
    const unsigned char* data;
};

// A sample to write into a bank.
struct BankSample {
    const char* name;
    SampleInfo info;
    const void* data;
    std::uint32_t dataBytes;
};

// The bank a loaded image holds. The image stays the caller's and must
// outlive the view; the entry table is the view's own.
class BankImage {
  public:
    static constexpr int kRecordBytes = 56;
    static constexpr int kEntryBytes = 72;

    BankImage() = default;
    BankImage(const BankImage&) = delete;
    BankImage& operator=(const BankImage&) = delete;
    ~BankImage();

    // Checks the header and lays the entries over the image; logs and gives
    // false when the image is no bank or is cut short.
    bool process(const unsigned char* image, int bytes);

    bool isProcessed() const { return m_processed; }
    const char* getName() const { return m_name; }
    int getNumEntries() const { return m_count; }
    const BankEntry* getEntry(int index) const;
    const BankEntry* findEntry(const char* name) const;

    // Writes a whole bank; false when the stream takes less than all of it.
    static bool write(BinaryStream& stream, const char* bankName, const BankSample* samples, int count);

  private:
    void reset();

    char m_name[Name::kBytes] = {};
    BankEntry* m_entries = nullptr;
    int m_count = 0;
    bool m_processed = false;
};

} // namespace Daz
