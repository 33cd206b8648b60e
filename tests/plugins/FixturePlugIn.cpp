// A plug-in library for the loading tests, written without the SDK as any author might: it
// answers its module name and, when built with FIXTURE_VERSION, the interface version.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) void* RunPlugInFunction(const char* operation,
                                                                          void*, void*) {
    const char* name = FIXTURE_NAME;
    const auto is = [operation](const char* text) {
        const char* a = operation;
        while (*a && *a == *text)
            ++a, ++text;
        return *a == *text;
    };
    if (is("GetModuleName")) return const_cast<char*>(name);
#ifdef FIXTURE_VERSION
    static const int32_t version = FIXTURE_VERSION;
    if (is("GetInterfaceVersion")) return const_cast<int32_t*>(&version);
#endif
    return nullptr;
}
