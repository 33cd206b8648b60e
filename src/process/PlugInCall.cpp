#include "process/PlugInCall.h"

#include <exception>

namespace {
// Runs `call`; on an exception fills `error` and returns false.
template <class Call> bool Guarded(const Call& call, std::string& error) {
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        error = std::string("it threw an exception: ") + e.what();
    } catch (...) {
        error = "it threw an exception of an unknown type";
    }
    return false;
}
} // namespace

bool CallPlugInEntry(PlugInEntry entry, const char* operation, void* view, void* argument,
                     void*& result, std::string& error) {
    result = nullptr;
    return Guarded([&] { result = entry(operation, view, argument); }, error);
}

bool CallPlugInVersion(PlugInVersionFunction function, int32_t& version, std::string& error) {
    return Guarded([&] { version = function(); }, error);
}
