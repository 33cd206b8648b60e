#pragma once
// How a document frame lays out its steps: one pane per step side by side, sized from the
// saved pane sizes when known, else equal widths.

#include "base/Archive.h"

#include <array>
#include <cstddef>
#include <vector>

struct CPaneLayout {
    /** True when the panes sit in a splitter row (2 to 6 steps). */
    bool m_splitter = false;
    /** True when the frame shows the plain empty-process view (0 or more than 6 steps). */
    bool m_emptyProcess = false;
    /** Size of each pane in step order (one entry for a single view). */
    std::vector<CSize> m_panes;
};

/** Layout of a frame of `frame` size for `steps` steps. */
CPaneLayout LayoutPanes(size_t steps, const std::array<CSize, 6>& savedSizes, CSize frame);
