#pragma once
// Limits and masks learned from good units: a plan's checks measured on N units (or N runs of
// one), and a new plan whose scalar limits are mean ± k·σ of each readout and whose masks are a
// golden curve (the mean curve) with offsets ± k·σ at each frequency. A limit never comes out
// narrower than a floor, so a quiet virtual card or a lucky batch does not make a plan that
// fails the next good unit.

#include "station/TestRecord.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

struct CLearnOptions {
    double k = 3.0;
    /** The least half-width of a learned scalar limit, as a fraction of |mean|. */
    double minRelativeWidth = 0.01;
    /** The least offset of a learned mask from its golden curve, in the curve's unit. */
    double minMaskOffset = 0.1;
};

/** What was learned of one check, for the summary a host prints. */
struct CLearnedItem {
    std::string id;
    std::string unit;
    double mean = 0.0, sigma = 0.0;  // masks: the largest σ over the curve
    double lower = 0.0, upper = 0.0; // masks: the narrowest offsets
    size_t points = 0;               // masks: the golden curve's; 0 for a limit
};

/** The plan `planText` with the limits and masks its checks learned from `runs` (records of the
 *  plan, at least two); `items` says what was learned. False with a message when a run lacks a
 *  check or a curve's points differ between runs. */
bool LearnPlan(const std::string& planText, const std::vector<CTestRecord>& runs,
               const CLearnOptions& options, nlohmann::json& learned,
               std::vector<CLearnedItem>& items, std::string& error);
