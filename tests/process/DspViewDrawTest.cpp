// The view's own drawing: the plot area and the background it fills.
#include "common/CaseName.h"
#include "common/TestModules.h"

#include "platform/MemorySettings.h"
#include "platform/RecordingCanvas.h"
#include "process/DspDoc.h"
#include "plot/PlotColours.h"

#include <gtest/gtest.h>

namespace {

using EOp = CRecordingCanvas::EOp;

// Whether the base fills its plot area (the view less its bars, never inverted) with the
// background: a view of a real step leaves it to the host's bitmap unless bitmaps are off.
struct CBackgroundCase {
    std::string name;
    bool emptyProcess;
    int bitmaps;
    bool filled;
};

class DspViewBackground : public testing::TestWithParam<CBackgroundCase> {};

TEST_P(DspViewBackground, FillsTheEmptyProcessOrWhenBitmapsAreOff) {
    CMemorySettings store;
    store.SetInt("Themes", "EnableCustomBackgroundBitmaps", GetParam().bitmaps);
    CModuleProcess t(TestRegistry(), &store);
    CDspDoc* doc = t.Create(GetParam().emptyProcess ? std::vector<std::string>{}
                                                    : std::vector<std::string>{"SoundIO"});
    ASSERT_TRUE(doc);
    CDspView* view = doc->GetView(0);
    view->SetBarHeights(30, 20);
    EXPECT_EQ(view->GetScreenRect({0, 0, 400, 40}), (CRect{0, 0, 400, 0}));
    CRecordingCanvas canvas;
    view->OnDraw(canvas, {0, 0, 200, 150});
    if (!GetParam().filled) {
        EXPECT_TRUE(canvas.Ops().empty());
        return;
    }
    const auto fills = canvas.OpsOf(EOp::fillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (CRect{0, 0, 200, 100}));
    EXPECT_EQ(fills[0].colour, kApplicationBackground);
}

INSTANTIATE_TEST_SUITE_P(Cases, DspViewBackground,
                         testing::Values(CBackgroundCase{"StepWithBitmaps", false, 1, false},
                                         CBackgroundCase{"StepWithoutBitmaps", false, 0, true},
                                         CBackgroundCase{"EmptyProcess", true, 1, true}),
                         CaseName());

} // namespace
