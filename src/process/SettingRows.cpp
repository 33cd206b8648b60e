#include "process/SettingRows.h"

#include "base/NumberText.h"
#include "base/PlainText.h"

bool SettingTextMatches(const std::string& a, const std::string& b) {
    return LowerAscii(TrimBlanks(a)) == LowerAscii(TrimBlanks(b));
}

std::string SettingItemsText(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "" : ", ") + item;
    return list;
}

bool ParseSettingNumber(const std::string& text, double& value, std::string& reason) {
    return ParseExactNumber(text, value, reason);
}

std::string SettingNumberText(double value) {
    return FormatText("%.15g", value);
}
