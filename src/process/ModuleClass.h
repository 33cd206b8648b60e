#pragma once
// What a step is built from: a module's name and the factory of its view, and the entry point
// through which a plug-in library's module is driven.

#include <cstdint>
#include <string>

class CDspView;

/** Factory of one module view class (built-in or from a plug-in). */
struct CModuleClass {
    const char* m_name;
    CDspView* (*m_pfnCreate)();
};

/** A plug-in library's "RunPlugInFunction": operation name, the step's view (or null), an
 *  operation-specific argument (or null); returns an operation-specific pointer. */
extern "C" {
typedef void* (*PlugInEntry)(const char* operation, void* view, void* argument);
}

/** The calling interface a plug-in is built for, as it answers "GetInterfaceVersion" (the
 *  address of an int32). A plug-in that does not answer is taken to be of this version. */
constexpr int32_t kPlugInInterfaceVersion = 1;

/** A plug-in module as the application knows it. */
struct CPlugInModule {
    std::string name;
    PlugInEntry entry = nullptr;
};
