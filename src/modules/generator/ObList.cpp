#include "modules/generator/ObList.h"

#include "base/Archive.h"

AURIVO_IMPLEMENT_SERIAL(CObList, nullptr);

namespace {
constexpr int kMaxNesting = 4;
thread_local int t_readDepth = 0;
} // namespace

bool CObList::AllKindOf(const CRuntimeClass* c) const {
    for (const auto& o : m_objects)
        if (!o->IsKindOf(c)) return false;
    return true;
}

void CObList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        std::vector<const CObject*> objects;
        for (const auto& o : m_objects)
            objects.push_back(o.get());
        ar.WriteObjectList(objects);
        return;
    }
    if (t_readDepth >= kMaxNesting) {
        ar.Fail("Object lists nested too deeply");
        return;
    }
    ++t_readDepth;
    auto objects = ar.ReadObjectList(nullptr);
    --t_readDepth;
    if (ar.Ok()) m_objects = std::move(objects);
}
