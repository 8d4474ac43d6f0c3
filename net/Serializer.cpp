#include "net/Serializer.h"

#include <cereal/details/helpers.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <type_traits>
#include <vector>

namespace Marevane {

namespace {

// The portable binary layout, written and read straight from a buffer: every
// number in the piece's byte order (the writer always writes little endian),
// strings and containers behind a 64-bit count, and each record type's class
// version once per piece, before the first object of that type.

constexpr bool HostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// The per-field steps are a few instructions each; a call apiece would cost
// more than the work.
#define MAREVANE_HOT inline __attribute__((always_inline))

template <class T> T Swapped(T value)
{
    if constexpr (sizeof(T) == 1) {
        return value;
    } else {
        std::array<unsigned char, sizeof(T)> bytes;
        std::memcpy(bytes.data(), &value, sizeof(T));
        std::reverse(bytes.begin(), bytes.end());
        std::memcpy(&value, bytes.data(), sizeof(T));
        return value;
    }
}

// The record types, each with its bit in the set of versions a piece has
// already carried. Every one is at class version 1.
template <class T> struct RecordBit : std::integral_constant<int, -1> {
};
#define MAREVANE_RECORD(T, bit)                                                                              \
    template <> struct RecordBit<T> : std::integral_constant<int, bit> {                                     \
    };
MAREVANE_RECORD(MapPos, 0)
MAREVANE_RECORD(MapCoordinateInfo, 1)
MAREVANE_RECORD(TorpedoProfile, 2)
MAREVANE_RECORD(MineProfile, 3)
MAREVANE_RECORD(MapData, 4)
MAREVANE_RECORD(ShipConfigSet, 5)
MAREVANE_RECORD(ShipStatistics, 6)
MAREVANE_RECORD(ShipProfile, 7)
MAREVANE_RECORD(ActionStatistics, 8)
MAREVANE_RECORD(UnitProfile, 9)
MAREVANE_RECORD(CommandInput, 10)
MAREVANE_RECORD(PlayOrder, 11)
MAREVANE_RECORD(ActionInfo, 12)
MAREVANE_RECORD(GameEditInfo, 13)
#undef MAREVANE_RECORD
template <class T> constexpr bool IsRecord = RecordBit<T>::value >= 0;

constexpr std::uint32_t ClassVersion = 1;

class CPieceWriter {
  public:
    static constexpr bool Loading = false;

    // Appends to `out`, starting with the byte-order flag.
    explicit CPieceWriter(std::string& out)
        : m_out(out), m_data(out.data()), m_size(out.size()), m_pos(out.size())
    {
        Number(std::uint8_t{1});
    }
    ~CPieceWriter() { m_out.resize(m_pos); }

    CPieceWriter(const CPieceWriter&) = delete;
    CPieceWriter& operator=(const CPieceWriter&) = delete;

    template <class T> MAREVANE_HOT void Number(T value)
    {
        if constexpr (!HostIsLittleEndian) value = Swapped(value);
        Raw(&value, sizeof value);
    }
    MAREVANE_HOT void Raw(const void* data, std::size_t size)
    {
        // An empty container may have no storage at all.
        if (size == 0) return;
        std::memcpy(Tail(size), data, size);
        m_pos += size;
    }
    // Room for `size` more bytes, written by the caller at Tail() and then
    // counted by Advance.
    MAREVANE_HOT char* Tail(std::size_t size)
    {
        if (__builtin_expect(m_pos + size > m_size, 0)) Grow(size);
        return m_data + m_pos;
    }
    void Advance(std::size_t size) { m_pos += size; }

    void MarkEveryRecordSeen() { m_seen = ~0u; }

    // True the first time a record type occurs in the piece.
    template <class T> bool FirstOf()
    {
        constexpr std::uint32_t bit = 1u << RecordBit<T>::value;
        const bool first = (m_seen & bit) == 0;
        m_seen |= bit;
        return first;
    }

  private:
    __attribute__((noinline)) void Grow(std::size_t size)
    {
        m_out.resize(std::max(m_out.size() * 2, m_pos + size + 1024));
        m_data = m_out.data();
        m_size = m_out.size();
    }

    std::string& m_out;
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos;
    std::uint32_t m_seen = 0;
};

class CPieceReader {
  public:
    static constexpr bool Loading = true;

    // Reads the byte-order flag: anything but 1 means the piece's numbers
    // are byte-reversed.
    // A fresh read stands for a read into a new record: what the wire does
    // not carry returns to its default even where the record held something.
    CPieceReader(const char* data, std::size_t size, bool fresh = false)
        : m_data(data), m_end(data + size), m_fresh(fresh)
    {
        std::uint8_t flag = 0;
        Raw(&flag, 1);
        m_bigEndian = flag != 1;
        m_swap = m_bigEndian == HostIsLittleEndian;
    }

    template <class T> MAREVANE_HOT void Number(T& value)
    {
        Raw(&value, sizeof value);
        if (m_swap) value = Swapped(value);
    }
    MAREVANE_HOT void Raw(void* data, std::size_t size)
    {
        const char* from = Take(size);
        // An empty container may have no storage at all.
        if (size != 0) std::memcpy(data, from, size);
    }
    // The next `size` bytes, consumed.
    MAREVANE_HOT const char* Take(std::size_t size)
    {
        if (__builtin_expect(BytesLeft() < size, 0)) Fail(size);
        const char* from = m_data;
        m_data += size;
        return from;
    }
    std::uint64_t BytesLeft() const { return static_cast<std::uint64_t>(m_end - m_data); }
    bool Swaps() const { return m_swap; }
    bool IsBigEndian() const { return m_bigEndian; }
    bool IsFresh() const { return m_fresh; }

    template <class T> bool FirstOf()
    {
        constexpr std::uint32_t bit = 1u << RecordBit<T>::value;
        const bool first = (m_seen & bit) == 0;
        m_seen |= bit;
        return first;
    }

  private:
    [[noreturn]] __attribute__((noinline)) void Fail(std::uint64_t size) const
    {
        throw cereal::Exception("Failed to read " + std::to_string(size) + " bytes from input stream! Read " +
                                std::to_string(BytesLeft()));
    }

    const char* m_data;
    const char* m_end;
    bool m_fresh;
    bool m_bigEndian = false;
    bool m_swap = false;
    std::uint32_t m_seen = 0;
};

// A record whose texts and containers are all empty.
template <class T> T EmptiestRecord()
{
    return T();
}
template <> UnitProfile EmptiestRecord<UnitProfile>()
{
    UnitProfile unit;
    unit.Address.clear();
    return unit;
}

template <class Ar> void Fields(Ar& ar, MapPos& r);
template <class Ar> void Fields(Ar& ar, MapCoordinateInfo& r);
template <class Ar> void Fields(Ar& ar, TorpedoProfile& r);
template <class Ar> void Fields(Ar& ar, MineProfile& r);
template <class Ar> void Fields(Ar& ar, MapData& r);
template <class Ar> void Fields(Ar& ar, ShipConfigSet& r);
template <class Ar> void Fields(Ar& ar, ShipStatistics& r);
template <class Ar> void Fields(Ar& ar, ShipProfile& r);
template <class Ar> void Fields(Ar& ar, ActionStatistics& r);
template <class Ar> void Fields(Ar& ar, UnitProfile& r);
template <class Ar> void Fields(Ar& ar, CommandInput& r);
template <class Ar> void Fields(Ar& ar, PlayOrder& r);
template <class Ar> void Fields(Ar& ar, ActionInfo& r);
template <class Ar> void Fields(Ar& ar, GameEditInfo& r);

// The fewest bytes a record's fields take on the wire: those of its
// emptiest form, without version words. Bounds the counts of records.
template <class T> std::uint64_t RecordMinSize()
{
    static const std::uint64_t size = [] {
        T record = EmptiestRecord<T>();
        std::string bytes;
        {
            CPieceWriter writer(bytes);
            writer.MarkEveryRecordSeen();
            Fields(writer, record);
        }
        return static_cast<std::uint64_t>(bytes.size() - 1);
    }();
    return size;
}

// The fewest bytes one element of a container can take on the wire.
template <class T> std::uint64_t MinWireSize()
{
    if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
        return std::is_same_v<T, bool> ? 1 : sizeof(T);
    } else if constexpr (IsRecord<T>) {
        return RecordMinSize<T>();
    } else {
        // A text or a container: at least its count.
        return sizeof(std::uint64_t);
    }
}

// Reads a count of elements of at least `unit` bytes each and refuses it
// when the rest of the piece cannot hold that many: a hostile count must not
// make us allocate what the piece cannot back.
std::uint64_t ReadCount(CPieceReader& ar, std::uint64_t unit)
{
    std::uint64_t count = 0;
    ar.Number(count);
    const std::uint64_t left = ar.BytesLeft();
    if (count > left / unit) {
        constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
        const std::uint64_t wanted = count > most / unit ? most : count * unit;
        throw cereal::Exception("Failed to read " + std::to_string(wanted) +
                                " bytes from input stream! Read " + std::to_string(left));
    }
    return count;
}

// Field helpers: one function both writes and reads, so the two orders can
// never drift apart.
template <class Ar, class T>
MAREVANE_HOT std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>> Item(Ar& ar, T& value);
template <class Ar> void Item(Ar& ar, std::string& value);
template <class Ar> void Item(Ar& ar, std::wstring& value);
template <class Ar, class T> void Item(Ar& ar, std::vector<T>& value);
template <class Ar, class K, class V> void Item(Ar& ar, std::map<K, V>& value);
template <class Ar, class T> void Item(Ar& ar, std::set<T>& value);
template <class Ar, class T, std::size_t N> void Item(Ar& ar, std::array<T, N>& value);
template <class Ar, class T> std::enable_if_t<IsRecord<T>> Item(Ar& ar, T& value);

// Numbers, flags and fixed arrays of numbers: their wire size never varies.
template <class T> struct Plain : std::bool_constant<std::is_arithmetic_v<T> || std::is_enum_v<T>> {
    static constexpr std::size_t Size = std::is_same_v<T, bool> ? 1 : sizeof(T);
};
template <class T, std::size_t N>
struct Plain<std::array<T, N>> : std::bool_constant<std::is_integral_v<T> && !std::is_same_v<T, bool>> {
    static constexpr std::size_t Size = N * sizeof(T);
};

template <class T> MAREVANE_HOT void PutPlain(char*& out, const T& value)
{
    if constexpr (std::is_same_v<T, bool>) {
        *out = value ? 1 : 0;
    } else if constexpr (HostIsLittleEndian) {
        std::memcpy(out, &value, sizeof(T));
    } else if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
        const T swapped = Swapped(value);
        std::memcpy(out, &swapped, sizeof(T));
    } else {
        char* element = out;
        for (const auto& number : value) PutPlain(element, number);
    }
    out += Plain<T>::Size;
}

template <class T> MAREVANE_HOT void GetPlain(const char*& in, T& value, bool swap)
{
    if constexpr (std::is_same_v<T, bool>) {
        // One byte; anything but 0 reads as true rather than as a broken bool.
        value = *in != 0;
    } else if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
        std::memcpy(&value, in, sizeof(T));
        if (swap) value = Swapped(value);
    } else {
        std::memcpy(value.data(), in, sizeof(T));
        if (swap) {
            for (auto& number : value) number = Swapped(number);
        }
    }
    in += Plain<T>::Size;
}

// A run of fields. A run of plain fields is checked and moved as one block;
// when the piece ends inside it, the fields are read one by one, so that
// the failure names the field it hit.
template <class Ar, class... T> MAREVANE_HOT void Items(Ar& ar, T&... values)
{
    if constexpr ((Plain<T>::value && ...)) {
        constexpr std::size_t size = (Plain<T>::Size + ...);
        if constexpr (!Ar::Loading) {
            char* out = ar.Tail(size);
            (PutPlain(out, values), ...);
            ar.Advance(size);
            return;
        } else {
            if (__builtin_expect(ar.BytesLeft() >= size, 1)) {
                const char* in = ar.Take(size);
                const bool swap = ar.Swaps();
                (GetPlain(in, values, swap), ...);
                return;
            }
        }
    }
    (Item(ar, values), ...);
}

template <class Ar, class T>
MAREVANE_HOT std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>> Item(Ar& ar, T& value)
{
    if constexpr (std::is_same_v<T, bool>) {
        // One byte; anything but 0 reads as true rather than as a broken bool.
        std::uint8_t byte = value ? 1 : 0;
        ar.Number(byte);
        if constexpr (Ar::Loading) value = byte != 0;
    } else if constexpr (std::is_enum_v<T>) {
        auto raw = static_cast<std::underlying_type_t<T>>(value);
        ar.Number(raw);
        if constexpr (Ar::Loading) value = static_cast<T>(raw);
    } else if constexpr (std::is_floating_point_v<T>) {
        // The bits as they stand, byte-reversed like any number of the width.
        using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>;
        Bits bits;
        std::memcpy(&bits, &value, sizeof bits);
        ar.Number(bits);
        if constexpr (Ar::Loading) std::memcpy(&value, &bits, sizeof bits);
    } else {
        ar.Number(value);
    }
}

template <class Ar> void Item(Ar& ar, std::string& value)
{
    if constexpr (!Ar::Loading) {
        ar.Number(static_cast<std::uint64_t>(value.size()));
        ar.Raw(value.data(), value.size());
    } else {
        const std::uint64_t count = ReadCount(ar, 1);
        value.assign(ar.Take(count), count);
    }
}

// A wide character as its UTF-16 code units: a value beyond U+10FFFF is the
// replacement character, one outside the basic plane a surrogate pair, and
// anything else (a lone surrogate too) one unit as it stands.
inline std::uint32_t CodePoint(wchar_t c)
{
    const auto value = static_cast<std::uint32_t>(c);
    return value > 0x10FFFF ? 0xFFFD : value;
}

// Characters of the basic plane to units in the host's order, and back;
// the second also tells whether a unit opens a surrogate pair. Separate
// buffers, so that the loops can work on many units at once.
void NarrowUnits(const wchar_t* __restrict in, std::size_t count, unsigned char* __restrict out)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto unit = static_cast<std::uint16_t>(in[i]);
        std::memcpy(out + 2 * i, &unit, 2);
    }
}

std::uint32_t WidenUnits(const unsigned char* __restrict in, std::size_t count, wchar_t* __restrict out)
{
    std::uint32_t surrogates = 0;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t unit;
        std::memcpy(&unit, in + 2 * i, 2);
        surrogates |= (unit & 0xFC00) == 0xD800;
        out[i] = static_cast<wchar_t>(unit);
    }
    return surrogates;
}

// UTF-16 code units on the wire; std::wstring holds one character each.
template <class Ar> void Item(Ar& ar, std::wstring& value)
{
    if constexpr (!Ar::Loading) {
        // Most texts lie in the basic plane: one unit per character.
        std::uint32_t all = 0;
        for (wchar_t c : value) all |= static_cast<std::uint32_t>(c);
        std::uint64_t units = value.size();
        if (all >= 0x10000) {
            for (wchar_t c : value) units += CodePoint(c) >= 0x10000 ? 1 : 0;
        }
        ar.Number(units);
        auto* out = reinterpret_cast<unsigned char*>(ar.Tail(units * 2));
        if (all < 0x10000 && HostIsLittleEndian) {
            NarrowUnits(value.data(), value.size(), out);
        } else {
            for (wchar_t c : value) {
                std::uint32_t code = CodePoint(c);
                if (code >= 0x10000) {
                    code -= 0x10000;
                    const std::uint32_t high = 0xD800 + (code >> 10);
                    *out++ = static_cast<unsigned char>(high);
                    *out++ = static_cast<unsigned char>(high >> 8);
                    code = 0xDC00 + (code & 0x3FF);
                }
                *out++ = static_cast<unsigned char>(code);
                *out++ = static_cast<unsigned char>(code >> 8);
            }
        }
        ar.Advance(units * 2);
    } else {
        const std::uint64_t units = ReadCount(ar, 2);
        const auto* bytes = reinterpret_cast<const unsigned char*>(ar.Take(units * 2));
        // The piece's byte order, not the host's, decides which byte is high.
        const std::size_t high = ar.IsBigEndian() ? 0 : 1;
        const std::size_t low = 1 - high;
        value.resize(units);
        wchar_t* out = value.data();
        std::uint32_t surrogates = 0;
        if (!ar.Swaps()) {
            surrogates = WidenUnits(bytes, units, out);
        } else {
            for (std::size_t i = 0; i < units; ++i) {
                const std::uint32_t c =
                    static_cast<std::uint32_t>(bytes[2 * i + high]) << 8 | bytes[2 * i + low];
                surrogates |= (c & 0xFC00) == 0xD800;
                out[i] = static_cast<wchar_t>(c);
            }
        }
        if (surrogates == 0) return;
        // A surrogate pair is one character; a lone surrogate is kept as it
        // stands, so that a round trip loses nothing.
        std::size_t length = 0;
        for (std::size_t i = 0; i < units; ++i) {
            std::uint32_t c = static_cast<std::uint32_t>(out[i]);
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
                const auto next = static_cast<std::uint32_t>(out[i + 1]);
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                    ++i;
                }
            }
            out[length++] = static_cast<wchar_t>(c);
        }
        value.resize(length);
    }
}

template <class Ar, class T> void Item(Ar& ar, std::vector<T>& value)
{
    if constexpr (!Ar::Loading) {
        ar.Number(static_cast<std::uint64_t>(value.size()));
        if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool> && HostIsLittleEndian) {
            ar.Raw(value.data(), value.size() * sizeof(T));
        } else {
            for (T& element : value) Item(ar, element);
        }
    } else {
        const std::uint64_t count = ReadCount(ar, MinWireSize<T>());
        if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
            value.resize(count);
            ar.Raw(value.data(), count * sizeof(T));
            if (ar.Swaps()) {
                for (T& element : value) element = Swapped(element);
            }
        } else {
            // The count is bounded by what the piece holds, so the room for
            // it is as well. Every field of these records is carried, so the
            // elements already there are read over and keep their storage.
            value.resize(count);
            for (T& element : value) Item(ar, element);
        }
    }
}

template <class Ar, class K, class V> void Item(Ar& ar, std::map<K, V>& value)
{
    if constexpr (!Ar::Loading) {
        ar.Number(static_cast<std::uint64_t>(value.size()));
        for (auto& entry : value) {
            K key = entry.first;
            Item(ar, key);
            Item(ar, entry.second);
        }
    } else {
        const std::uint64_t count = ReadCount(ar, MinWireSize<K>() + MinWireSize<V>());
        // Our writers send the entries in key order, and a record read over
        // mostly holds the same keys: those entries are read in place, the
        // others inserted or dropped as the two orders meet. Entries out of
        // order leave the walk; a repeated key keeps its first value.
        auto cursor = value.begin();
        bool ordered = true;
        K last{};
        for (std::uint64_t i = 0; i < count; ++i) {
            K key{};
            Item(ar, key);
            if (ordered && i > 0 && !(last < key)) {
                ordered = false;
                cursor = value.erase(cursor, value.end());
            }
            last = key;
            if (ordered) {
                while (cursor != value.end() && cursor->first < key) cursor = value.erase(cursor);
                if (cursor == value.end() || key < cursor->first) {
                    cursor = value.emplace_hint(cursor, std::piecewise_construct, std::forward_as_tuple(key),
                                                std::forward_as_tuple());
                }
                Item(ar, cursor->second);
                ++cursor;
                continue;
            }
            const std::size_t before = value.size();
            auto it = value.emplace_hint(value.end(), std::piecewise_construct, std::forward_as_tuple(key),
                                         std::forward_as_tuple());
            if (value.size() != before) {
                Item(ar, it->second);
            } else {
                V ignored{};
                Item(ar, ignored);
            }
        }
        if (ordered) value.erase(cursor, value.end());
    }
}

template <class Ar, class T> void Item(Ar& ar, std::set<T>& value)
{
    if constexpr (!Ar::Loading) {
        ar.Number(static_cast<std::uint64_t>(value.size()));
        for (T element : value) Item(ar, element);
    } else {
        const std::uint64_t count = ReadCount(ar, MinWireSize<T>());
        // As for maps: elements in order meet those held before.
        auto cursor = value.begin();
        bool ordered = true;
        for (std::uint64_t i = 0; i < count; ++i) {
            T element{};
            Item(ar, element);
            if (ordered && cursor != value.begin() && !(*std::prev(cursor) < element)) {
                ordered = false;
                cursor = value.erase(cursor, value.end());
            }
            if (ordered) {
                while (cursor != value.end() && *cursor < element) cursor = value.erase(cursor);
                if (cursor == value.end() || element < *cursor) cursor = value.emplace_hint(cursor, element);
                ++cursor;
                continue;
            }
            value.emplace_hint(value.end(), std::move(element));
        }
        if (ordered) value.erase(cursor, value.end());
    }
}

template <class Ar, class T, std::size_t N> void Item(Ar& ar, std::array<T, N>& value)
{
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
        if constexpr (!Ar::Loading && HostIsLittleEndian) {
            ar.Raw(value.data(), sizeof value);
            return;
        } else if constexpr (Ar::Loading) {
            ar.Raw(value.data(), sizeof value);
            if (ar.Swaps()) {
                for (T& element : value) element = Swapped(element);
            }
            return;
        }
    }
    for (T& element : value) Item(ar, element);
}

// The records, field by field in wire order. Nested versions are read and
// not checked.
template <class Ar> void Fields(Ar& ar, MapPos& r)
{
    Items(ar, r.x, r.y);
}

template <class Ar> void Fields(Ar& ar, MapCoordinateInfo& r)
{
    Items(ar, r.Positions, r.KnownPositions);
}

// Runs of plain fields are kept together in one call each.
template <class Ar> void Fields(Ar& ar, TorpedoProfile& r)
{
    Items(ar, r.Number, r.UnitId, r.ShipId, r.ShipType);
    Items(ar, r.LaunchPos, r.CurrentPos, r.TargetPos);
    Items(ar, r.Direction, r.IsFinished);
}

template <class Ar> void Fields(Ar& ar, MineProfile& r)
{
    Items(ar, r.Number, r.UnitId, r.ShipId, r.ShipType, r.VictimUnitId, r.VictimShipType, r.Reserved);
    Items(ar, r.Pos);
    Items(ar, r.IsPlaced, r.IsExploded);
}

// Of the six trailing words only the count of special panels and the reef
// cap are carried; a reader keeps the other four at their defaults.
template <class Ar> void Fields(Ar& ar, MapData& r)
{
    Items(ar, r.Id);
    Items(ar, r.Size, r.CoordinateInfo, r.UnitCoordinateInfo, r.PanelTypes, r.Torpedoes, r.Mines);
    Items(ar, r.SpecialPanelCount, r.MaxReefs);
    if constexpr (Ar::Loading) {
        if (ar.IsFresh()) {
            const MapData defaults;
            r.MaxShallows = defaults.MaxShallows;
            r.MaxFogs = defaults.MaxFogs;
            r.MaxHighWaves = defaults.MaxHighWaves;
            r.StageCode = defaults.StageCode;
        }
    }
}

template <class Ar> void Fields(Ar& ar, ShipConfigSet& r)
{
    Items(ar, r.Type, r.Hp, r.Fp, r.AttackFp, r.MoveFp, r.ExtraMoveFp, r.TorpedoFp, r.RefuelFp, r.WeaponStock,
          r.Reserved, r.MoveRange, r.CanLayMine, r.CanFireTorpedo, r.CanStealth, r.CanRefuel);
}

template <class Ar> void Fields(Ar& ar, ShipStatistics& r)
{
    Items(ar, r.Counters);
}

template <class Ar> void Fields(Ar& ar, ShipProfile& r)
{
    Items(ar, r.UnitId, r.ShipId, r.Type, r.Status, r.Condition, r.LastEvent, r.PendingStatus, r.Hp, r.Fp,
          r.FpChange);
    Items(ar, r.Pos);
    Items(ar, r.WeaponStock, r.IsFlagship);
    Items(ar, r.Statistics, r.Config, r.MineHits);
}

template <class Ar> void Fields(Ar& ar, ActionStatistics& r)
{
    Items(ar, r.Counters, r.Time, r.Score);
}

template <class Ar> void Fields(Ar& ar, UnitProfile& r)
{
    Items(ar, r.Id, r.Type, r.OriginFlag);
    Items(ar, r.Name, r.Password, r.ThirdText, r.TeamMates);
    Items(ar, r.Level, r.FlagshipId, r.ReinforcementsLeft);
    Items(ar, r.Address);
    Items(ar, r.Port, r.IsResigned, r.IsTimedOut);
    Items(ar, r.Statistics);
    Items(ar, r.HostId);
}

template <class Ar> void Fields(Ar& ar, CommandInput& r)
{
    Items(ar, r.Command, r.UnitId, r.ShipId, r.ShipType, r.Direction, r.Distance);
    Items(ar, r.Target, r.Text);
}

template <class Ar> void Fields(Ar& ar, PlayOrder& r)
{
    Items(ar, r.Round, r.Position);
}

template <class Ar> void Fields(Ar& ar, ActionInfo& r)
{
    Items(ar, r.Kind, r.Command, r.UnitId, r.ShipId, r.ShipType, r.Direction, r.Distance);
    Items(ar, r.Target, r.Ships);
}

// List B goes out twice; reading it twice into one list keeps the second.
// The teams are not carried.
template <class Ar> void Fields(Ar& ar, GameEditInfo& r)
{
    Items(ar, r.Rule);
    Items(ar, r.Map);
    Items(ar, r.ComputerLevel, r.Mission, r.TimeLimit, r.DeadlineRounds, r.IsTeamVersus, r.SurfacingCycle,
          r.FpPercentage, r.DestroyerWeapons, r.SubmarineWeapons, r.ReserveFleetSize, r.IsPanelEffectEnabled,
          r.IsStealthEnabled, r.ThirdFlag, r.PlayerCount, r.TeamCount);
    Items(ar, r.PlayerTypes, r.PlayerOptions, r.PlayerOptions);
    Items(ar, r.FleetSize, r.IsReinforcementAllowed);
    Items(ar, r.RuleLists);
    if constexpr (Ar::Loading) {
        if (ar.IsFresh()) r.Teams.clear();
    }
}

// A record brings its type's version the first time the type occurs in the
// piece.
template <class Ar, class T> std::enable_if_t<IsRecord<T>> Item(Ar& ar, T& value)
{
    if (ar.template FirstOf<T>()) {
        std::uint32_t version = ClassVersion;
        Item(ar, version);
    }
    Fields(ar, value);
}

// The messages: their own version, checked before any field, then the
// header's fields without a version of their own, then the kind's fields.
template <class Ar> void Header(Ar& ar, Message& r)
{
    Items(ar, r.Code, r.SecondCode);
    Items(ar, r.Sender, r.Units, r.Command);
    Items(ar, r.Time);
}

template <class Ar> void Fields(Ar& ar, Message& r)
{
    Header(ar, r);
}

template <class Ar> void Fields(Ar& ar, ProgressMessage& r)
{
    Header(ar, r);
    Items(ar, r.Order, r.Map, r.TurnOrder, r.Ships, r.Text, r.BoardText);
}

template <class Ar> void Fields(Ar& ar, EntryMessage& r)
{
    Header(ar, r);
    Items(ar, r.IsPlayer);
    Items(ar, r.Entry, r.Rules, r.Text);
}

template <class Ar> void Fields(Ar& ar, FleetEditMessage& r)
{
    Header(ar, r);
    Items(ar, r.Ships);
    Items(ar, r.FirstFlag, r.SecondFlag);
    Items(ar, r.Text);
    if constexpr (Ar::Loading) {
        if (ar.IsFresh()) r.Value = 0;
    }
}

template <class Ar> void Fields(Ar& ar, ResultMessage& r)
{
    Header(ar, r);
    Items(ar, r.Order, r.Actions);
}

template <class Ar, class M> void MessageItem(Ar& ar, M& message)
{
    std::uint32_t version = ClassVersion;
    Item(ar, version);
    if (version != ClassVersion) throw CIncompatibleFormatError();
    Fields(ar, message);
}

} // namespace

// Writes straight into the caller's buffer and reads straight from the
// caller's bytes; it keeps nothing between calls, so calls from several
// threads may overlap.
class CSerializerImpl {
  public:
    virtual ~CSerializerImpl() = default;

    template <class M> static void AppendMessage(std::string& out, const M& message)
    {
        CPieceWriter writer(out);
        // The writer only reads the record.
        MessageItem(writer, const_cast<M&>(message));
    }
    template <class T> static void AppendItem(std::string& out, T value)
    {
        CPieceWriter writer(out);
        Item(writer, value);
    }
    template <class M> static void ReadMessage(M& message, const char* data, std::size_t size, bool fresh)
    {
        CPieceReader reader(data, size, fresh);
        MessageItem(reader, message);
    }
    template <class T> static void ReadItem(T& value, const char* data, std::size_t size)
    {
        CPieceReader reader(data, size);
        Item(reader, value);
    }
};

CSerializer& CSerializer::GetInstance()
{
    static CSerializer instance;
    return instance;
}

CSerializer::CSerializer() : m_impl(std::make_unique<CSerializerImpl>()) {}
CSerializer::~CSerializer() = default;

#define MAREVANE_MESSAGE(T)                                                                                  \
    void CSerializer::Append(std::string& out, const T& value)                                               \
    {                                                                                                        \
        CSerializerImpl::AppendMessage(out, value);                                                          \
    }                                                                                                        \
    void CSerializer::Deserialize(T& value, const char* data, std::size_t size)                              \
    {                                                                                                        \
        CSerializerImpl::ReadMessage(value, data, size, false);                                              \
    }                                                                                                        \
    void CSerializer::Refill(T& value, const char* data, std::size_t size)                                   \
    {                                                                                                        \
        CSerializerImpl::ReadMessage(value, data, size, true);                                               \
    }
MAREVANE_MESSAGE(Message)
MAREVANE_MESSAGE(ProgressMessage)
MAREVANE_MESSAGE(EntryMessage)
MAREVANE_MESSAGE(FleetEditMessage)
MAREVANE_MESSAGE(ResultMessage)
#undef MAREVANE_MESSAGE

void CSerializer::Append(std::string& out, const std::string& bytes)
{
    CSerializerImpl::AppendItem(out, bytes);
}
void CSerializer::Append(std::string& out, std::uint32_t kind)
{
    CSerializerImpl::AppendItem(out, kind);
}
void CSerializer::Append(std::string& out, std::uint64_t length)
{
    CSerializerImpl::AppendItem(out, length);
}
void CSerializer::Deserialize(std::string& bytes, const char* data, std::size_t size)
{
    CSerializerImpl::ReadItem(bytes, data, size);
}
void CSerializer::Deserialize(std::uint32_t& kind, const char* data, std::size_t size)
{
    CSerializerImpl::ReadItem(kind, data, size);
}
void CSerializer::Deserialize(std::uint64_t& length, const char* data, std::size_t size)
{
    CSerializerImpl::ReadItem(length, data, size);
}

} // namespace Marevane
