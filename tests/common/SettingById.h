#pragma once

#include "process/DspView.h"

#include <string>

/** The value a module lists for a setting, by id ("missing" when it lists none). */
inline std::string SettingById(const CDspView& view, const std::string& id) {
    for (const CSettingValue& s : view.GetSettings())
        if (s.id == id) return s.value;
    return "missing";
}
