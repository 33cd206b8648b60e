#include "modules/generator/SigGenMLS.h"

#include "modules/generator/SigGenChanDlgBar.h"

#include <bit>
#include <iterator>

namespace {

constexpr int32_t kTapMasks[] = {
    0,    3,     5,     12,    20,    48,     96,     150,    272,     576,     1280,    3232,
    6912, 12424, 24576, 53256, 73728, 132096, 466944, 589824, 1310720, 3145728, 4325376, 14745600};

// Whether the next register output bit is a one (MLS value 0.0). The feedback is the parity of
// the tapped bits over positions 0..m; the output is the bit that leaves the p-bit register.
bool NextOutputBit(CSigGenChanDlgBar& bar) {
    const uint32_t positions =
        bar.m_transformOrder >= 31 ? 0xFFFFFFFFu : (2u << bar.m_transformOrder) - 1u;
    const uint32_t taps = static_cast<uint32_t>(MLSTapMask(bar.m_mlsOrderIndex)) & positions;
    const uint32_t parity = std::popcount(taps & bar.m_mlsState) & 1u;
    bar.m_mlsState = (bar.m_mlsState << 1) | parity;
    return (bar.m_mlsState & bar.m_mlsOutputMask) != 0;
}

} // namespace

int32_t MLSTapMask(int32_t k) {
    return k >= 0 && k < int32_t(std::size(kTapMasks)) ? kTapMasks[k] : 0;
}

int32_t MLSOrderIndex(int32_t n) {
    int32_t k = 0;
    for (int64_t j = 1; j < n / 2; j *= 2)
        ++k;
    return k;
}

double MLSSample(CSigGenChanDlgBar& bar, int32_t i) {
    if (i >= bar.m_blockSize - 1) return 1.0;
    return NextOutputBit(bar) ? 0.0 : 1.0;
}

double MLS180Sample(CSigGenChanDlgBar& bar, int32_t i) {
    if (i >= bar.m_blockSize - 1) return 0.0;
    return NextOutputBit(bar) ? 1.0 : 0.0;
}
