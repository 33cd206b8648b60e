#pragma once
// What a step is built from: a module's name and the factory of its view, and the entry point
// through which a plug-in library's module is driven.

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
