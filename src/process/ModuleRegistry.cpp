#include "process/ModuleRegistry.h"

#include <algorithm>

const std::vector<std::string>& CModuleRegistry::BuiltInNames() {
    static const std::vector<std::string> names{
        "WAV File Open",     "Signal Generator", "Arbitrary Filter", "Oscilloscope",
        "Spectrum Analyzer", "DataLogger",       "SoundIO",          "WAV File Save"};
    return names;
}

namespace {
// Position of a name in editor order: built-ins first by their fixed place, others after.
size_t Rank(std::string_view name) {
    const auto& builtIn = CModuleRegistry::BuiltInNames();
    auto it = std::find(builtIn.begin(), builtIn.end(), name);
    return it == builtIn.end() ? builtIn.size() : size_t(it - builtIn.begin());
}
} // namespace

void CModuleRegistry::Register(const CModuleClass* moduleClass) {
    auto same = std::find_if(m_classes.begin(), m_classes.end(), [&](const CModuleClass* c) {
        return std::string_view(c->m_name) == moduleClass->m_name;
    });
    if (same != m_classes.end()) {
        *same = moduleClass;
        return;
    }
    const size_t rank = Rank(moduleClass->m_name);
    auto pos = std::find_if(m_classes.begin(), m_classes.end(),
                            [&](const CModuleClass* c) { return Rank(c->m_name) > rank; });
    m_classes.insert(pos, moduleClass);
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
