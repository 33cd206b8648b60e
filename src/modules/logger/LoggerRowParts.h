#pragma once
// Small parts the data logger's rows share.

#include "process/SettingRows.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace logger_rows {
/** The item at `index`, or an empty text outside the list. */
inline const std::string& Item(const std::vector<std::string>& items, int32_t index) {
    static const std::string none;
    return index >= 0 && size_t(index) < items.size() ? items[size_t(index)] : none;
}

inline bool IsChoice(int selection, size_t count) {
    return selection >= 0 && size_t(selection) < count;
}

/** A button that acts and refreshes. */
template <class V>
CSettingRow<V> Press(const std::string& id, const char* face, const char* group, const char* tip,
                     std::function<void(V&)> press) {
    return CSettingRow<V>::Button(id, face, group, tip).OnChange([press](V& v) {
        press(v);
        return true;
    });
}
} // namespace logger_rows
