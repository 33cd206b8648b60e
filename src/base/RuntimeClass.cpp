#include "base/RuntimeClass.h"

#include <string>
#include <unordered_map>

namespace {
std::unordered_map<std::string, const CRuntimeClass*>& Registry() {
    static std::unordered_map<std::string, const CRuntimeClass*> registry;
    return registry;
}
} // namespace

CRuntimeClass::CRuntimeClass(const char* name, const CRuntimeClass* base, CObject* (*create)())
    : m_lpszClassName(name), m_pBaseClass(base), m_pfnCreateObject(create) {
    Registry()[name] = this;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name) {
    auto it = Registry().find(std::string(name));
    return it == Registry().end() ? nullptr : it->second;
}
