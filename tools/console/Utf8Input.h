// Typed input decoded from UTF-8 by the console itself. The C library's
// decoding behind the standard wide input stops the stream for good at the
// first byte that is not UTF-8; here such bytes become BadInputMark, so the
// line they came in is refused and everything after it is still read.
#pragma once

#include <cstddef>
#include <functional>
#include <streambuf>
#include <string>

namespace Marevane {

// Decodes the sequences at the start of `bytes` into `out` and answers how
// many bytes it used. Each byte that starts no valid sequence, and each
// valid start cut off by a wrong byte, gives one BadInputMark; a sequence
// still incomplete at the end is left over unless `final` says no more
// bytes will come, when it gives a mark too.
std::size_t DecodeUtf8(const std::string& bytes, bool final, std::wstring& out);

class CUtf8InputBuffer : public std::wstreambuf {
  public:
    // Reads at most `size` bytes into `bytes`; answers how many, 0 when the
    // input has ended.
    using ByteSource = std::function<std::size_t(char* bytes, std::size_t size)>;

    explicit CUtf8InputBuffer(ByteSource source) : m_source(std::move(source)) {}

  protected:
    int_type underflow() override;

  private:
    ByteSource m_source;
    std::string m_pending;
    std::wstring m_decoded;
    bool m_ended = false;
};

} // namespace Marevane
