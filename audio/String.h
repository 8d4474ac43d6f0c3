// Engine text: either growing (engine allocator) or fixed over a buffer it is
// given, so that paths on the stream and render threads never allocate.
#pragma once

namespace Daz {

class String {
  public:
    // A growing text, empty and without a buffer.
    String() = default;
    String(const String&) = delete;
    String& operator=(const String&) = delete;
    ~String();

    // A null text reads as the empty string.
    const char* getBuffer() const { return m_buffer ? m_buffer : ""; }
    int getLength() const { return m_length; }
    int getCapacity() const { return m_capacity; }
    bool isFixed() const { return m_fixed; }
    bool isEmpty() const { return m_length == 0; }
    char operator[](int index) const { return getBuffer()[index]; }

    void set(const char* text);
    void append(const char* text);
    void append(char c);
    void clear() { setLength(0); }
    // Cuts the text to the given length (no longer than it is).
    void setLength(int length);
    void erase(int start, int count);
    // Replaces every occurrence, left to right.
    void replace(char from, char to);
    void replace(const char* from, const char* to);

    int find(const char* text, int start = 0) const;
    int findLast(char c) const;
    bool equals(const char* text) const;
    bool startsWith(const char* text) const;
    bool endsWith(const char* text, bool caseSensitive = true) const;

  protected:
    String(char* buffer, int capacity);
    // Room for a text of the given length; a fixed text that is too small logs
    // an error and gives back the length it can hold.
    int reserve(int length);

  private:
    char* m_buffer = nullptr;
    int m_capacity = 0;
    int m_length = 0;
    bool m_fixed = false;
};

// A fixed text over a buffer of its own.
template <int N> class FixedString : public String {
  public:
    FixedString() : String(m_storage, N) {}
    explicit FixedString(const char* text) : String(m_storage, N) { set(text); }
    FixedString(const FixedString& other) : String(m_storage, N) { set(other.getBuffer()); }
    FixedString& operator=(const FixedString& other)
    {
        if (this != &other) set(other.getBuffer());
        return *this;
    }

  private:
    char m_storage[N];
};

} // namespace Daz
