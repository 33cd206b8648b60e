#include "process/PaneLayout.h"

CPaneLayout LayoutPanes(size_t steps, const std::array<CSize, 6>& savedSizes, CSize frame) {
    CPaneLayout layout;
    if (steps == 0 || steps > savedSizes.size()) {
        layout.m_emptyProcess = true;
        layout.m_panes.push_back(frame);
        return layout;
    }
    if (steps == 1) {
        layout.m_panes.push_back(frame);
        return layout;
    }
    layout.m_splitter = true;
    const bool useSaved = savedSizes[0].cx != 0;
    for (size_t i = 0; i < steps; ++i)
        layout.m_panes.push_back(
            useSaved ? savedSizes[i] : CSize{frame.cx / static_cast<int32_t>(steps), frame.cy});
    return layout;
}
