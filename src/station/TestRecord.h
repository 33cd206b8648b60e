#pragma once
// The record of one unit's test, as the results store keeps it: who tested what, where and
// when, with which software, plan, processes and devices, every checked value with its limits
// and margin, the curves checked, and the verdict. Its UUID names it, so writing it twice
// keeps one.

#include "station/CheckResult.h"

#include <nlohmann/json.hpp>

#include <ctime>
#include <string>
#include <vector>

struct CMeasurementRecord {
    std::string name;
    std::string processHash; // SHA-256 of the process file (its calibration record included)
    int attempts = 0;
    bool passed = false;
    std::vector<std::string> devices; // "step 2 in: Virtual Loopback"
};

struct CTestRecord {
    std::string uuid;
    std::string station, serial, operatorName;
    std::string testedAt; // UTC, "2026-12-07T16:50:01.250Z"
    std::string software; // "aurivo 0.1.0"
    std::string planName, planHash;
    std::vector<CMeasurementRecord> measurements;
    std::vector<CCheckResult> checks;
    std::vector<CCheckedCurve> curves;
    bool passed = false;
};

/** A random (version 4) UUID in its text form. */
std::string NewUuid();
/** The SHA-256 of the bytes, in lower-case hex. */
std::string Sha256Hex(const std::string& bytes);
/** The time now, UTC, as a record writes it. */
std::string UtcNowText();
/** The last local midnight at or before `now`, UTC, as a record writes it: where an operator's
 *  day begins. */
std::string LocalDayStartText(std::time_t now);

/** The record as JSON (NaN and infinite numbers as null), and back; FromJson is false with a
 *  message for a record it cannot read. */
nlohmann::json RecordJson(const CTestRecord& record);
bool RecordFromJson(const nlohmann::json& j, CTestRecord& record, std::string& error);
