#include "formats/PlotCsv.h"

#include "base/NumberText.h"
#include "dsp/DSPFFTDataList.h"
#include "formats/TextFile.h"

namespace PlotCsv {

std::string Text(const CDSPFFTDataList& plot, const std::string& unit,
                 const MagnitudeOf& magnitude) {
    std::string text = "Frequency (Hz)";
    const int channels = plot.GetNumChans();
    for (int c = 1; c <= channels; ++c)
        text += FormatText(",Ch%d Magnitude (%s),Ch%d Phase (deg)", c, unit.c_str(), c);
    text += "\n";
    const CDSPFFTData* first = plot.GetAt(0);
    if (!first || !first->HasArrays()) return text;
    const int32_t size = first->GetSize();
    const double binWidth = first->GetSampleRate() / size;
    for (int32_t bin = 0; bin <= size / 2 && bin < size; ++bin) {
        text += FormatText("%.9g", bin * binWidth);
        for (int c = 0; c < channels; ++c) {
            const CDSPFFTData* block = plot.GetAt(c);
            const bool has = block->HasArrays() && bin < block->GetSize();
            text += FormatText(",%.9g,%.9g", has ? magnitude(c, bin) : 0.0,
                               has ? block->GetPhaseObj()->GetDataPointer()[bin] : 0.0);
        }
        text += "\n";
    }
    return text;
}

bool Save(const CDSPFFTDataList& plot, const std::string& path, const std::string& unit,
          const MagnitudeOf& magnitude, std::string& error) {
    return WriteTextFile(path, Text(plot, unit, magnitude), error);
}

} // namespace PlotCsv
