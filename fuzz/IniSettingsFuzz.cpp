// Parses arbitrary text as the settings file, reads every kind of value from it and formats it
// back, as a save would write it after a change.
#include "platform/IniSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CIniSettings settings("/nonexistent/aurivo.ini");
    settings.ParseText(std::string(reinterpret_cast<const char*>(data), size));
    (void)settings.GetString("Settings", "FFTSize", "");
    (void)settings.GetInt("Settings", "FFTSize", 0);
    settings.SetString("Settings", "Recent", "changed");
    (void)settings.FormatText();
    return 0;
}
