#pragma once
// A clipboard that cannot be opened: it refuses text and has none.

#include "platform/Clipboard.h"

class CClosedClipboard final : public IClipboard {
public:
    bool SetText(const std::string&) override { return false; }
    std::optional<std::string> GetText() const override { return std::nullopt; }
};
