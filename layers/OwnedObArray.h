#pragma once

#include "platform/Archive.h"

#include <algorithm>
#include <memory>
#include <vector>

// Reads an object that must be a T; anything else, null included, is an archive error.
template <class T>
std::unique_ptr<T> ReadObjectOf(CArchive& archive)
{
    std::unique_ptr<CObject> object = archive.ReadObject();
    if (!dynamic_cast<T*>(object.get()))
        throw CArchiveException(CArchiveException::badClass, "an object of the wrong class");
    return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

// An ordered array that owns its serialisable elements (never null).
template <class T>
class COwnedObArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // Null outside 0..size-1.
    T* GetAt(int index) const
    {
        return index >= 0 && index < GetSize() ? m_items[static_cast<size_t>(index)].get() : nullptr;
    }
    // Index of the element, or -1.
    int Find(const T* item) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].get() == item)
                return static_cast<int>(i);
        return -1;
    }

    // The new index; -1 for a null element.
    int Add(std::unique_ptr<T> item)
    {
        if (!item)
            return -1;
        m_items.push_back(std::move(item));
        return GetSize() - 1;
    }
    // index 0..size; false (nothing taken) outside or for null.
    bool InsertAt(int index, std::unique_ptr<T> item)
    {
        if (!item || index < 0 || index > GetSize())
            return false;
        m_items.insert(m_items.begin() + index, std::move(item));
        return true;
    }
    // Deletes the element and closes the gap.
    bool RemoveAt(int index) { return Detach(index) != nullptr; }
    // Takes the element out and hands it over.
    std::unique_ptr<T> Detach(int index)
    {
        if (index < 0 || index >= GetSize())
            return nullptr;
        std::unique_ptr<T> item = std::move(m_items[static_cast<size_t>(index)]);
        m_items.erase(m_items.begin() + index);
        return item;
    }
    void RemoveAll() { m_items.clear(); }

    // Moves the count elements at from so that they start at to, keeping
    // their order; false when either block leaves the array.
    bool MoveItems(int from, int to, int count)
    {
        const int size = GetSize();
        if (count < 0 || from < 0 || to < 0 || from > size - count || to > size - count)
            return false;
        auto at = [this](int i) { return m_items.begin() + i; };
        if (from < to)
            std::rotate(at(from), at(from + count), at(to + count));
        else if (from > to)
            std::rotate(at(to), at(from), at(from + count));
        return true;
    }

    // The count, then each element as an object with its class tag.
    void Store(CArchive& archive) const
    {
        archive.WriteCount(static_cast<uint32_t>(m_items.size()));
        for (const auto& item : m_items)
            archive.WriteObject(item.get());
    }
    // Empties the array, then reads the count and each element as an
    // object of whatever class its tag names, which must be a T. After an
    // error the elements read so far stay.
    void Load(CArchive& archive)
    {
        m_items.clear();
        const uint32_t count = archive.ReadCount(2);
        m_items.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            m_items.push_back(ReadObjectOf<T>(archive));
    }
    void Serialize(CArchive& archive)
    {
        if (archive.IsStoring())
            Store(archive);
        else
            Load(archive);
    }

protected:
    std::vector<std::unique_ptr<T>> m_items;
};
