// A sound card that goes away (stops delivering) or goes wrong (delivers short buffers) in the
// middle of a run, in every mode that uses it: the pass fails in time with a message naming the
// device, the process stays as it was and saves, and once the device is back the run starts
// again.
#include "common/ModuleProcess.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include "platform/VirtualCard.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>

namespace {

using EFault = CVirtualCard::EFault;

struct CVanishing {
    const char* mode;
    EFault fault;
};

class VanishingDevice : public testing::TestWithParam<CVanishing> {};

TEST_P(VanishingDevice, ThePassFailsInTimeNamingTheDeviceAndTheRunResumesAfter) {
    constexpr int kBlock = 4096;
    constexpr double kRate = 48000.0;
    CVirtualCard card;
    CModuleProcess t;
    t.UseCard(&card);
    ASSERT_TRUE(t.Create({"Signal Generator", "SoundIO", "Spectrum Analyzer"}, kBlock, kRate));
    t.Set({std::string("2:mode=") + GetParam().mode, "2:rate=48000"});
    CTempFolder dir;
    ASSERT_TRUE(t.Save(dir.File("before.process")));
    ASSERT_TRUE(t.Run(3)) << testing::PrintToString(t.TakeShown());

    // Recording alone keeps blocks in hand (gapless capture); the passes use them up first.
    card.SetFault(GetParam().fault);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(t.Run(1000));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took.count(), kBlock / kRate + 2.0 + 0.5);
    const std::vector<std::string> shown = t.TakeMessages();
    ASSERT_EQ(shown.size(), 1u) << testing::PrintToString(shown);
    EXPECT_NE(shown[0].find(CVirtualCard::kDeviceName), std::string::npos) << shown[0];

    ASSERT_TRUE(t.Save(dir.File("after.process")));
    EXPECT_EQ(GetFile(dir.File("after.process")), GetFile(dir.File("before.process")));
    card.SetFault(EFault::None);
    EXPECT_TRUE(t.Run(3)) << testing::PrintToString(t.TakeShown());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VanishingDevice,
    testing::Values(CVanishing{"Rec. Only", EFault::StopsDelivering},
                    CVanishing{"Rec. Only", EFault::ShortBuffers},
                    CVanishing{"Play", EFault::StopsDelivering},
                    CVanishing{"Play", EFault::ShortBuffers},
                    CVanishing{"Rec./Play", EFault::StopsDelivering},
                    CVanishing{"Rec./Play", EFault::ShortBuffers}),
    [](const auto& info) {
        std::string name = info.param.mode;
        std::erase_if(name, [](char c) { return !std::isalpha(static_cast<unsigned char>(c)); });
        return name + (info.param.fault == EFault::StopsDelivering ? "Stops" : "ShortBuffers");
    });

} // namespace
