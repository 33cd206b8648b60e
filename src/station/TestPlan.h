#pragma once
// A production test plan: the measurements a unit goes through (each a process file run
// headless), the readout limits and curve masks checked after each, how many passes a
// measurement runs, how often a failed measurement is measured again before the unit fails,
// and whether the test stops at the first failed measurement. Read from the JSON format of
// docs/test-plan.md, checked against its schema and then for what a schema cannot say.

#include "station/Curve.h"

#include <optional>
#include <string>
#include <vector>

/** Which value of a readout over the passes of a measurement is checked. */
enum class EStatistic { Last, Mean, Min, Max };

/** A readout of one step (by its label, and its channel when a module shows one per channel)
 *  held between a lower and an upper limit, either of which may be absent. */
struct CLimitCheck {
    std::string id;
    int step = 1;
    std::string readout;
    int channel = 0;  // 0: any channel
    std::string unit; // empty: the readout's own, whatever it is
    std::optional<double> lower, upper;
    EStatistic statistic = EStatistic::Last;
};

/** Where a checked curve comes from: what the step's module draws, or the block it hands on. */
enum class ECurveSource { Drawn, Handed };

/** A curve of one step held between an upper and a lower mask (points in frequency order,
 *  linear between points on a logarithmic frequency axis), over a frequency range. With a golden
 *  curve the masks are offsets from it; with a normalising frequency the measured and golden
 *  curves are first shifted to 0 there. */
struct CMaskCheck {
    std::string id;
    int step = 1;
    int channel = 1;
    ECurveSource source = ECurveSource::Drawn;
    std::optional<double> from, to, normaliseAt;
    std::optional<CCurve> golden;
    std::optional<CCurve> upper, lower;
};

struct CMeasurement {
    std::string name;
    std::string process;               // absolute, resolved against the plan's folder
    std::vector<std::string> settings; // "STEP:SETTING=VALUE", applied after opening
    int passes = 1;
    int retries = 0;
    std::vector<CLimitCheck> limits;
    std::vector<CMaskCheck> masks;
};

struct CTestPlan {
    std::string path; // as given
    std::string name;
    std::string description;
    bool stopAtFirstFailure = false;
    std::vector<CMeasurement> measurements;
    std::string text; // the file's bytes, which its hash in a record is taken of
};

/** Reads and checks a plan file; false with one line naming the file, the item and the
 *  reason. Mask and golden files are read too, relative to the plan's folder. */
bool LoadTestPlan(const std::string& path, CTestPlan& plan, std::string& error);

/** The same from the plan's text; `path` names it in messages and places relative files. */
bool ParseTestPlan(const std::string& path, const std::string& text, CTestPlan& plan,
                   std::string& error);

/** The schema the plan format follows (docs/test-plan.schema.json, built in). */
const std::string& TestPlanSchemaText();
