#include "CliSession.h"

#include "base/NumberText.h"
#include "platform/IniSettings.h"
#include "platform/system/SystemAudio.h"

#include <ostream>

CMemorySettings UserSettings() {
    std::string error;
    CIniSettings file;
    file.Load(error); // an unreadable settings file leaves the defaults
    return file;
}

CCliSession::CCliSession(const CModuleRegistry& registry) : CCliSession(registry, UserSettings()) {}

CCliSession::CCliSession(const CModuleRegistry& registry, const CMemorySettings& settings)
    : CUserSession(registry, settings, NewSystemAudio(settings)) {}

bool ApplySetting(CProcessSession& session, const std::string& setting, std::string& error) {
    const size_t colon = setting.find(':');
    const size_t equals = setting.find('=', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || equals == std::string::npos) {
        error = "Setting \"" + ShortName(setting) + "\" is not of the form STEP:CONTROL=VALUE";
        return false;
    }
    double step = 0;
    std::string reason;
    if (!ParseExactNumber(setting.substr(0, colon), step, reason) || step != int(step) ||
        step < 1 || step > session.GetStepCount()) {
        error = "Setting \"" + ShortName(setting) + "\": the process has no step " +
                ShortName(setting.substr(0, colon));
        return false;
    }
    return session.SetControl(int(step), setting.substr(colon + 1, equals - colon - 1),
                              setting.substr(equals + 1), error);
}

std::string TerminalText(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r')
            out += " | ";
        else if (c < 0x20 || c == 0x7F)
            out += FormatText("\\x%02X", c);
        else
            out += char(c);
    }
    return out;
}

int Fail(std::ostream& err, const std::string& reason) {
    err << "aurivo-cli: " << TerminalText(reason) << "\n";
    return 2;
}
