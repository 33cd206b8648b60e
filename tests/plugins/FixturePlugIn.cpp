// A plug-in library for the loading tests, written without the SDK as any author might: it
// answers its module name; built with FIXTURE_VERSION it exports the interface version function,
// and with FIXTURE_ANSWER_ALL it answers every other operation with a pointer that is no answer.
#include <cstdint>

#ifdef FIXTURE_VERSION
extern "C" __attribute__((visibility("default"))) int32_t AurivoPlugInInterfaceVersion() {
    return FIXTURE_VERSION;
}
#endif

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
#ifdef FIXTURE_ANSWER_ALL
    // An address nothing may read, as an author's "not handled" marker might be.
    return reinterpret_cast<void*>(uintptr_t(1));
#else
    return nullptr;
#endif
}
