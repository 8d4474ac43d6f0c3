// The template behind every fixed code table: a key-to-value map built once,
// answering a default value for keys it does not hold. Read-only after
// construction, so any thread may read a built table.
#pragma once

#include <unordered_map>
#include <utility>
#include <vector>

namespace Marevane {

template <typename K, typename V, typename Hash = std::hash<K>> class CMappingObject {
  public:
    using Map = std::unordered_map<K, V, Hash>;

    virtual ~CMappingObject() = default;

    // Never inserts, never fails.
    const V& Get(const K& key) const
    {
        auto it = m_map.find(key);
        return it != m_map.end() ? it->second : m_default;
    }

    bool Contains(const K& key) const { return m_map.find(key) != m_map.end(); }
    const Map& GetMap() const { return m_map; }
    const V& GetDefault() const { return m_default; }

    // Keys and values in the order the table lists them; hash order differs
    // between standard libraries, so walks use these.
    const std::vector<K>& GetKeysInOrder() const { return m_order; }
    std::vector<V> GetValuesInOrder() const
    {
        std::vector<V> values;
        values.reserve(m_order.size());
        for (const K& key : m_order) values.push_back(m_map.find(key)->second);
        return values;
    }

  protected:
    CMappingObject() = default;

    // Replaces the whole map; a derived table's constructor calls this after
    // its base's so that no base entry survives.
    void Fill(std::vector<std::pair<K, V>> pairs, V defaultValue)
    {
        Map map(8);
        map.max_load_factor(1.0f);
        std::vector<K> order;
        order.reserve(pairs.size());
        for (auto& pair : pairs) {
            if (map.emplace(pair.first, std::move(pair.second)).second)
                order.push_back(std::move(pair.first));
        }
        m_map = std::move(map);
        m_order = std::move(order);
        m_default = std::move(defaultValue);
    }

  private:
    Map m_map;
    std::vector<K> m_order;
    V m_default{};
};

} // namespace Marevane
