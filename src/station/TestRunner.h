#pragma once
// Runs a test plan on one unit through the headless session: each measurement opens its
// process, applies the plan's settings, runs its passes, reads the readouts and curves the
// checks name, and is measured again (up to its retries) while it fails. The outcome is the
// unit's record; a plan that does not fit its processes is an error, never a failed unit.

#include "station/TestPlan.h"
#include "station/TestRecord.h"

#include <functional>
#include <memory>
#include <string>

class CProcessSession;

/** Who tests which unit where. */
struct CTestIdentity {
    std::string serial;
    std::string station;
    std::string operatorName;
};

/** The unit with this station's defaults: the host's name and the user logged in. */
CTestIdentity LocalIdentity(std::string serial);

/** A fresh headless session for one measurement (each opens its own process). */
using CSessionFactory = std::function<std::shared_ptr<CProcessSession>()>;

/** Tests one unit. False with one line naming the plan and the reason when the test could not
 *  be made (a process that does not open, a setting refused, a readout the step does not show
 *  or shows in another unit, a module error during the run); the record is then incomplete and
 *  must not be stored. */
bool RunTestPlan(const CTestPlan& plan, const CTestIdentity& identity,
                 const CSessionFactory& sessions, CTestRecord& record, std::string& error);
