#pragma once
// What a station takes from the user's settings file when the command line does not say:
//
//   [Station]
//   Database=postgresql://line@db.example/results   (or a file; default: the local results file)

#include <string>

class ISettingsStore;

/** The results store a station uses without --db: the settings' [Station] Database, else the
 *  default results file (empty when there is no home for it). */
std::string ConfiguredResultsUrl(const ISettingsStore& settings);
