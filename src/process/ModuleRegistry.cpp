#include "process/ModuleRegistry.h"

#include <algorithm>

void CModuleRegistry::Register(const CModuleClass* moduleClass) {
    auto same = std::find_if(m_classes.begin(), m_classes.end(), [&](const CModuleClass* c) {
        return std::string_view(c->m_name) == moduleClass->m_name;
    });
    if (same != m_classes.end())
        *same = moduleClass;
    else
        m_classes.push_back(moduleClass);
}

std::vector<std::string> CModuleRegistry::GetNames() const {
    std::vector<std::string> names;
    for (const CModuleClass* c : m_classes)
        names.emplace_back(c->m_name);
    return names;
}

const CModuleClass* CModuleRegistry::Find(std::string_view name) const {
    for (const CModuleClass* c : m_classes)
        if (name == c->m_name) return c;
    return nullptr;
}
