#pragma once
// Aurivo plug-in SDK: the one header a plug-in module includes.
//
// A plug-in is a shared library exporting the C function "RunPlugInFunction". The program calls
// it with the name of an operation, the step's view (the object the program created from the
// plug-in's class, or null) and an operation's argument. Derive the module's view from
// CDspView, override what it does (StartRun, ProcessData, EndRun, ShowCurrentParams, Serialize,
// OnDraw, GetReadoutValues, ...) and let AURIVO_PLUGIN_MODULE answer every operation:
//
//     #include <aurivo/PlugIn.h>
//     class CMyView : public CDspView { ... };
//     AURIVO_PLUGIN_MODULE(CMyView, "My Module")
//
// The library is linked without the core: it uses the program's own core at load time.
//
// An exception thrown out of an operation is caught by the program: the step fails with a
// message naming the module and the run stops. Report a failure with ShowErrorMessage and a
// 0 from StartRun or ProcessData instead; that says more to the user.

#include "base/Archive.h"
#include "process/DspView.h"
#include "process/ModuleClass.h"

#include <string_view>

namespace aurivo {

// The operations the program sends, in the order a run meets them.
inline constexpr const char* kGetModuleName = "GetModuleName";
inline constexpr const char* kGetRunTimeClass = "GetRunTimeClass";
inline constexpr const char* kShowCurrentParams = "ShowCurrentParams";
inline constexpr const char* kOnInitialModuleSetup = "OnInitialModuleSetup";
inline constexpr const char* kSetStepNumber = "SetStepNumber";
inline constexpr const char* kStartRun = "StartRun";
inline constexpr const char* kProcessData = "ProcessData";
inline constexpr const char* kEndRun = "EndRun";
inline constexpr const char* kSerialize = "Serialize";

/** Answers one operation for the module `name` whose view class is `View`. The results follow
 *  the program's rules: "StartRun" answers null when started, "ProcessData" non-null to go on.
 *  The name must stay valid as long as the library is loaded (a string literal). */
template <class View>
void* AnswerPlugInOperation(const char* name, const char* operation, void* view, void* argument) {
    static const CModuleClass moduleClass{name, []() -> CDspView* { return new View; }};
    const std::string_view op = operation ? operation : "";
    if (op == kGetModuleName) return const_cast<char*>(name);
    if (op == kGetRunTimeClass) return const_cast<CModuleClass*>(&moduleClass);
    View* module = dynamic_cast<View*>(static_cast<CDspView*>(view));
    if (!module) return nullptr;
    if (op == kShowCurrentParams) {
        module->ShowCurrentParams();
        module->Invalidate();
    } else if (op == kOnInitialModuleSetup) {
        module->OnInitialModuleSetup();
    } else if (op == kStartRun) {
        return module->StartRun() ? nullptr : module;
    } else if (op == kProcessData) {
        return module->ProcessData() ? module : nullptr;
    } else if (op == kEndRun) {
        module->EndRun();
    } else if (op == kSerialize && argument) {
        module->Serialize(*static_cast<CArchive*>(argument));
    }
    // "SetStepNumber" needs no answer: a view finds its position through its document.
    return nullptr;
}

} // namespace aurivo

/** Defines the library's entry point for the module `name` of view class `ViewClass`, and the
 *  function through which the program learns the interface version the library was built for. */
#define AURIVO_PLUGIN_MODULE(ViewClass, name)                                                      \
    extern "C" __attribute__((visibility("default"))) int32_t AurivoPlugInInterfaceVersion() {     \
        return kPlugInInterfaceVersion;                                                            \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) void* RunPlugInFunction(                     \
        const char* operation, void* view, void* argument) {                                       \
        return aurivo::AnswerPlugInOperation<ViewClass>(name, operation, view, argument);          \
    }
