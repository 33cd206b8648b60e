// The view's own drawing: the plot area and the background it fills.
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
TEST(DspViewBackground, FillsTheEmptyProcessOrWhenBitmapsAreOff) {
    const std::tuple<bool, int, bool> cases[] = {
        {false, 1, false}, {false, 0, true}, {true, 1, true}};
    for (const auto& [emptyProcess, bitmaps, filled] : cases) {
        SCOPED_TRACE(testing::Message() << "empty " << emptyProcess << ", bitmaps " << bitmaps);
        CMemorySettings store;
        store.SetInt("Themes", "EnableCustomBackgroundBitmaps", bitmaps);
        CModuleProcess t(TestRegistry(), &store);
        CDspDoc* doc = t.Create(emptyProcess ? std::vector<std::string>{}
                                             : std::vector<std::string>{"SoundIO"});
        ASSERT_TRUE(doc);
        CDspView* view = doc->GetView(0);
        view->SetBarHeights(30, 20);
        EXPECT_EQ(view->GetScreenRect({0, 0, 400, 40}), (CRect{0, 0, 400, 0}));
        CRecordingCanvas canvas;
        view->OnDraw(canvas, {0, 0, 200, 150});
        if (!filled) {
            EXPECT_TRUE(canvas.Ops().empty());
            continue;
        }
        const auto fills = canvas.OpsOf(EOp::fillRect);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].rect, (CRect{0, 0, 200, 100}));
        EXPECT_EQ(fills[0].colour, kApplicationBackground);
    }
}

} // namespace
