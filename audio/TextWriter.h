// Sinks for the engine's text output: text is gathered until a line ends.
#pragma once

namespace Daz {

class TextWriter {
  public:
    static constexpr int kLineCapacity = 512;

    virtual ~TextWriter() = default;

    // Appends text; each finished line (newline included) goes to writeLine.
    void write(const char* text);
    // Hands on what is gathered even without a newline.
    void flush();

  protected:
    virtual void writeLine(const char* line) = 0;

  private:
    char m_line[kLineCapacity] = {};
    int m_length = 0;
};

// Prints each finished line to standard output.
class DebugWriter : public TextWriter {
  protected:
    void writeLine(const char* line) override;
};

} // namespace Daz
