// The built-in modules this build contains, in the registry's fixed order.
#include "modules/BuiltInModules.h"
#include "modules/arbfilter/ArbFilterView.h"
#include "modules/generator/SigGenView.h"
#include "modules/logger/DataLoggerView.h"
#include "modules/scope/OscView.h"
#include "modules/spectrum/SpecView.h"
#include "modules/wav/WavSaveView.h"
#include "modules/wav/WaveFileInView.h"
#include "soundio/SoundIOView.h"

namespace {
const CModuleClass kSignalGenerator{"Signal Generator",
                                    []() -> CDspView* { return new CSigGenView; }};
const CModuleClass kOscilloscope{"Oscilloscope", []() -> CDspView* { return new COscView; }};
const CModuleClass kSpectrumAnalyzer{"Spectrum Analyzer",
                                     []() -> CDspView* { return new CSpecView; }};
const CModuleClass kDataLogger{"DataLogger", []() -> CDspView* { return new CDataLoggerView; }};
const CModuleClass kArbitraryFilter{"Arbitrary Filter",
                                    []() -> CDspView* { return new CArbFilterView; }};
const CModuleClass kWavFileOpen{"WAV File Open", []() -> CDspView* { return new CWaveFileInView; }};
const CModuleClass kWavFileSave{"WAV File Save", []() -> CDspView* { return new CWavSaveView; }};
const CModuleClass kSoundIO{"SoundIO", []() -> CDspView* { return new CSoundIOView; }};
} // namespace

const CModuleRegistry& GetBuiltInModules() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&kSignalGenerator);
        r.Register(&kOscilloscope);
        r.Register(&kSpectrumAnalyzer);
        r.Register(&kArbitraryFilter);
        r.Register(&kSoundIO);
        r.Register(&kDataLogger);
        r.Register(&kWavFileOpen);
        r.Register(&kWavFileSave);
        return r;
    }();
    return registry;
}
