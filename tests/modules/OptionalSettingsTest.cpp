// Settings kept after the last step: files without them keep their bytes, a file with them
// opens as saved, and damaged or newer records are refused with the reason.
#include "common/ArchiveBytes.h"
#include "common/CaseName.h"
#include "common/ModuleProcess.h"
#include "common/SettingById.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"
#include "dsp/OctaveSmoothing.h"

#include <algorithm>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

struct CEntry {
    uint16_t step;
    std::string id;
    uint8_t needed;
    std::vector<uint8_t> value;
};

// The record after the last step, field by field.
std::string Record(const std::vector<CEntry>& entries, uint16_t version = 1) {
    CArchiveBytes f;
    f.Text("Step settings").U16(version).U16(uint16_t(entries.size()));
    for (const CEntry& e : entries)
        f.U16(e.step)
            .Text(e.id)
            .Byte(e.needed)
            .U16(uint16_t(e.value.size()))
            .Raw(e.value.data(), e.value.size());
    return {f.Get().begin(), f.Get().end()};
}

std::vector<uint8_t> Int32(int32_t v) {
    return CArchiveBytes().I32(v).Get();
}

int32_t SmoothingIndex(const std::string& name) {
    const auto& names = OctaveSmoothingNames();
    return int32_t(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(OptionalSettings, EveryExampleKeepsItsBytesWhenSavedAgain) {
    CTempFolder dir;
    for (const auto& e : fs::directory_iterator(fs::path(AURIVO_SOURCE_DIR) / "examples")) {
        if (e.path().extension() != ".process") continue;
        CModuleProcess p;
        ASSERT_TRUE(p.Open(e.path().string())) << e.path();
        ASSERT_TRUE(p.Save(dir.File("again.process")));
        EXPECT_TRUE(GetFile(dir.File("again.process")) == GetFile(e.path().string())) << e.path();
    }
}

TEST(OptionalSettings, ASettingAwayFromItsDefaultIsAppendedAndOpensAsSaved) {
    CTempFolder dir;
    CModuleProcess p;
    ASSERT_TRUE(p.Create({"Transfer Function"}, 2048, 48000.0));
    ASSERT_TRUE(p.Save(dir.File("plain.process")));
    p.Set(1, {"smooth=1/3"});
    EXPECT_TRUE(p.Doc().IsModified());
    ASSERT_TRUE(p.Save(dir.File("smooth.process")));
    // The step's record is as it was; a build that stops reading there sees the plain file.
    const std::string plain = GetFile(dir.File("plain.process"));
    const std::string smoothed = GetFile(dir.File("smooth.process"));
    EXPECT_EQ(smoothed, plain + Record({{1, "smooth", 0, Int32(SmoothingIndex("1/3"))}}));

    CModuleProcess opened;
    ASSERT_TRUE(opened.Open(dir.File("smooth.process")));
    EXPECT_EQ(SettingById(opened.Step(1), "smooth"), "1/3");
    ASSERT_TRUE(opened.Save(dir.File("again.process")));
    EXPECT_EQ(GetFile(dir.File("again.process")), smoothed);
    // Back at the default, the record goes.
    opened.Set(1, {"smooth=None"});
    ASSERT_TRUE(opened.Save(dir.File("again.process")));
    EXPECT_EQ(GetFile(dir.File("again.process")), plain);
}

struct CTrailer {
    const char* name;
    std::string bytes;
    std::string refusal; // empty: opens, smoothing as `smoothing`
    const char* smoothing;
};

class Trailer : public testing::TestWithParam<CTrailer> {};

// What this build makes of what follows the last step: the record of a newer build, damaged
// records, and bytes that are no record (as every build before the record refuses it).
TEST_P(Trailer, OpensOrIsRefusedWithTheReason) {
    CTempFolder dir;
    CModuleProcess p;
    ASSERT_TRUE(p.Create({"Transfer Function"}, 2048, 48000.0));
    ASSERT_TRUE(p.Save(dir.File("t.process")));
    PutFile(dir.File("t.process"), GetFile(dir.File("t.process")) + GetParam().bytes);
    std::string error;
    const bool opened = p.Session().Open(dir.File("t.process"), error);
    if (GetParam().refusal.empty()) {
        ASSERT_TRUE(opened) << error;
        EXPECT_EQ(SettingById(p.Step(1), "smooth"), GetParam().smoothing);
    } else {
        EXPECT_FALSE(opened);
        EXPECT_EQ(error, "Cannot open " + dir.File("t.process") + ": " + GetParam().refusal);
    }
}

const std::vector<uint8_t> kSixth = Int32(SmoothingIndex("1/6"));

INSTANTIATE_TEST_SUITE_P(
    Records, Trailer,
    testing::Values(
        CTrailer{"UnknownSettingIsSkipped",
                 Record({{1, "future", 0, {7}}, {1, "smooth", 0, kSixth}}), "", "1/6"},
        CTrailer{"NeededUnknownSetting", Record({{1, "future", 1, {7}}}),
                 "Step: 1 Transfer Function: setting 'future' needs a newer Aurivo", ""},
        CTrailer{"NewerRecord", Record({}, 2),
                 "The step settings after the last step are of a newer Aurivo (version 2)", ""},
        CTrailer{"StepOutsideTheProcess", Record({{2, "smooth", 0, kSixth}}),
                 "The step settings name step 2, which the process does not have", ""},
        CTrailer{"ValueRefused", Record({{1, "smooth", 0, Int32(99)}}),
                 "Step: 1 Transfer Function: setting 'smooth': Transfer Function Smoothing out "
                 "of range",
                 ""},
        CTrailer{"ValueTooLong", Record({{1, "smooth", 0, {2, 0, 0, 0, 0}}}),
                 "Step: 1 Transfer Function: setting 'smooth': it holds more than one value", ""},
        CTrailer{"Truncated", Record({{1, "smooth", 0, kSixth}}).substr(0, 20),
                 "Unexpected end of file", ""},
        CTrailer{"NotARecord", "\x01\x02\x03", "3 bytes follow the last step", ""}),
    CaseName());

} // namespace
