#include "station/StationSettings.h"

#include "platform/SettingsStore.h"
#include "station/ResultsStore.h"

std::string ConfiguredResultsUrl(const ISettingsStore& settings) {
    const std::string configured = settings.GetString("Station", "Database", "");
    return configured.empty() ? DefaultResultsPath() : configured;
}
