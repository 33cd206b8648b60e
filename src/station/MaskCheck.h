#pragma once
// Checks a measured curve against a mask check of a plan.

#include "station/CheckResult.h"
#include "station/TestPlan.h"

/** Holds `measured` between the masks of `mask` over its range: normalises first when asked,
 *  adds the golden curve to the masks when there is one, and finds the point of least margin.
 *  False with a message when the check cannot be made (no point of the curve in the range, a
 *  normalising frequency the curve does not reach): that is a fault of the plan or the process,
 *  not of the unit. */
bool CheckMask(const CMaskCheck& mask, const CCurve& measured, CCheckResult& result,
               CCheckedCurve& checked, std::string& error);

/** Holds a readout's value between the limits of `limit`. A value that is not a number fails. */
CCheckResult CheckLimit(const CLimitCheck& limit, double value, const std::string& unit);
