// Parses arbitrary text as a production test plan (JSON, its schema and the checks beyond it).
// Relative mask and golden files name nothing in a folder that does not exist.
#include "station/TestPlan.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CTestPlan plan;
    std::string error;
    ParseTestPlan("/nonexistent/plan.json", std::string(reinterpret_cast<const char*>(data), size),
                  plan, error);
    return 0;
}
