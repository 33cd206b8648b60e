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

/** The calling interface a plug-in is built for: the operations, and the layout and virtual
 *  functions of the classes a plug-in derives from (CDspView). A library tells it through a
 *  function of its own, apart from the entry point, so that no answer of the entry point is ever
 *  taken for a version: `extern "C" int32_t AurivoPlugInInterfaceVersion(void)`. Version 2 added
 *  the capability queries to CDspView; version 3 the optional settings of the setting rows. */
constexpr int32_t kPlugInInterfaceVersion = 3;
/** The version of a library without that function: it was built before the function existed. */
constexpr int32_t kPlugInInterfaceVersionWithoutFunction = 1;
constexpr const char* kPlugInVersionSymbol = "AurivoPlugInInterfaceVersion";
extern "C" {
typedef int32_t (*PlugInVersionFunction)();
}

/** A plug-in module as the application knows it. */
struct CPlugInModule {
    std::string name;
    PlugInEntry entry = nullptr;
};
