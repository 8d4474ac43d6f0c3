// A doubly linked list through two pointer members of its elements: joining
// and leaving never allocate.
#pragma once

namespace Daz {

template <typename T, T* T::*Prev, T* T::*Next> class IntrusiveList {
  public:
    T* getFirst() const { return m_first; }
    int getCount() const { return m_count; }

    void pushFront(T* item)
    {
        item->*Prev = nullptr;
        item->*Next = m_first;
        if (m_first)
            m_first->*Prev = item;
        else
            m_last = item;
        m_first = item;
        ++m_count;
    }

    void pushBack(T* item)
    {
        item->*Next = nullptr;
        item->*Prev = m_last;
        if (m_last)
            m_last->*Next = item;
        else
            m_first = item;
        m_last = item;
        ++m_count;
    }

    // The item must be in this list.
    void remove(T* item)
    {
        if (item->*Prev)
            (item->*Prev)->*Next = item->*Next;
        else
            m_first = item->*Next;
        if (item->*Next)
            (item->*Next)->*Prev = item->*Prev;
        else
            m_last = item->*Prev;
        item->*Prev = item->*Next = nullptr;
        --m_count;
    }

    bool contains(const T* item) const { return item->*Prev || item->*Next || m_first == item; }

  private:
    T* m_first = nullptr;
    T* m_last = nullptr;
    int m_count = 0;
};

} // namespace Daz
