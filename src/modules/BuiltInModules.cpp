// The built-in modules this build contains. Each module registers itself; the order of the
// calls below is the order the process editor lists them in.
#include "modules/BuiltInModules.h"
#include "modules/arbfilter/ArbFilterModule.h"
#include "modules/generator/SigGenModule.h"
#include "modules/logger/DataLoggerModule.h"
#include "modules/rta/RtaModule.h"
#include "modules/scope/OscModule.h"
#include "modules/spectrum/SpecModule.h"
#include "modules/sweep/SweepModule.h"
#include "modules/transfer/TransferModule.h"
#include "modules/wav/WavModules.h"
#include "soundio/SoundIOModule.h"

const CModuleRegistry& GetBuiltInModules() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        RegisterWavFileOpen(r);
        RegisterSignalGenerator(r);
        RegisterArbitraryFilter(r);
        RegisterOscilloscope(r);
        RegisterSpectrumAnalyzer(r);
        RegisterDataLogger(r);
        RegisterSoundIO(r);
        RegisterWavFileSave(r);
        RegisterRealTimeAnalyzer(r);
        RegisterSweepAnalyzer(r);
        RegisterTransferFunction(r);
        return r;
    }();
    return registry;
}
