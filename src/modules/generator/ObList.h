#pragma once
// A stored list of objects: a count, then each element as an object reference. The list owns
// its elements.

#include "base/RuntimeClass.h"

#include <memory>
#include <vector>

class CObList : public CObject {
    AURIVO_DECLARE_SERIAL(CObList)
public:
    size_t GetCount() const { return m_objects.size(); }
    CObject* GetAt(size_t index) const {
        return index < m_objects.size() ? m_objects[index].get() : nullptr;
    }
    void AddTail(std::unique_ptr<CObject> object) { m_objects.push_back(std::move(object)); }
    void RemoveAll() { m_objects.clear(); }
    /** Whether every element is of the class or derived from it. */
    bool AllKindOf(const CRuntimeClass* c) const;

    /** Reading replaces the elements; a list inside a list is read only a few levels deep, so a
     *  damaged file cannot nest lists until the stack runs out. */
    void Serialize(CArchive& ar) override;

private:
    std::vector<std::unique_ptr<CObject>> m_objects;
};
