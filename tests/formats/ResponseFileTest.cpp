// The response text file: exact bytes, header checks with their messages, line-end tolerance
// and round trips.
#include "formats/ResponseFile.h"

#include "common/CommaLocale.h"
#include "common/DspTestUtil.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"
#include "common/WrittenPrecision.h"
#include "dsp/DSPFFTDataList.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>

namespace {

using Lines = std::vector<std::string>;

// A fresh time block of size 4 at 96000 samples per second, as written.
const Lines kFreshFour = {
    ";Type                      : +1.0000000e+000",
    ";Number of Elements        : +4.0000000e+000",
    ";Sample Rate               : +9.6000000e+004",
    ";Gain                      : +1.0000000e+000",
    ";Delay                     : +0.0000000e+000",
    "+0.0000000e+000 +1.0000000e+000 +0.0000000e+000",
    "+0.0000000e+000 +1.0000000e+000 +0.0000000e+000",
    "+0.0000000e+000 +1.0000000e+000 +0.0000000e+000",
    "+0.0000000e+000 +1.0000000e+000 +0.0000000e+000",
};

// A response block of size 4 at 8000 samples per second with its frequency axis 0, 2000, 4000,
// 2000.
const Lines kResponseFour = {
    ";Type                      : +2.0000000e+000",
    ";Number of Elements        : +4.0000000e+000",
    ";Sample Rate               : +8.0000000e+003",
    ";Gain                      : +5.0000000e-001",
    ";Delay                     : +2.5000000e+000",
    "+0.0000000e+000 +1.0000000e+003 -1.8000000e+002",
    "+2.0000000e+003 -2.5000000e-001 +9.0000000e+001",
    "+4.0000000e+003 +1.5000000e-005 +1.0000000e-001",
    "+2.0000000e+003 +0.0000000e+000 +1.2345678e+004",
};
const CBlockSnapshot kResponse = {
    {0, 2000, 4000, 2000}, {1000.0, -0.25, 1.5e-5, 0.0}, {-180.0, 90.0, 0.1, 12345.678}};

void MakeResponseFour(CDSPFFTData& block) {
    MakeBlock(block, CDSPData::kResponseBlock, 8000.0, {}, kResponse.magnitude, kResponse.phase);
    block.SetGain(0.5);
    block.SetDelay(2.5);
}

class ResponseFileIO : public testing::Test {
protected:
    CTempFolder folder;
    std::string path = folder.File("block.rsp");
};

TEST_F(ResponseFileIO, BlocksAndListsSaveAsTheKnownBytes) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, 4, 96000.0));
    EXPECT_EQ(::ResponseFile::Save(block, path), 4);
    EXPECT_EQ(GetFile(path), JoinLines(kFreshFour, "\r\n"));
    MakeResponseFour(block);
    EXPECT_EQ(::ResponseFile::Save(block, path), 4);
    EXPECT_EQ(GetFile(path), JoinLines(kResponseFour, "\r\n"));

    // A list writes its blocks one after another.
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 4, 96000.0));
    list.GetFreqData(1)[2] = 1000.0;
    EXPECT_EQ(::ResponseFile::Save(list, path), 8);
    Lines second = kFreshFour;
    second[7] = "+0.0000000e+000 +1.0000000e+003 +0.0000000e+000";
    EXPECT_EQ(GetFile(path), JoinLines(kFreshFour, "\r\n") + JoinLines(second, "\r\n"));
}

auto Value(size_t line, std::string value) {
    return [=](Lines& l) { l[line] = l[line].substr(0, 29) + value; };
}
auto Keep(size_t count) {
    return [=](Lines& l) { l.resize(count); };
}

// A header changed or cut short fails with its message ({p} stands for the path) and keeps what
// was read.
TEST(ResponseFile, HeaderFaultsFailWithTheirMessageAndKeepWhatWasRead) {
    const std::pair<std::function<void(Lines&)>, const char*> cases[] = {
        {Value(0, "+2.0000000e+000"),
         "The channel 1 Data Array Type in Step: 1 Test Module is set to 1.\r\nThe "
         "channel 1 Data Array Type setting in the '{p}' File is 2."},
        {Value(1, "+8.0000000e+000"),
         "The channel 1 data array size in Step: 1 Test module is set to 4 "
         "elements.\r\nThe channel 1 data array size in '{p}' file is 8 elements."},
        {Value(2, "+4.4100000e+004"),
         "The channel 1 data array sample rate in Step: 1 Test module is set to 96000 "
         "samp/sec.\r\nThe channel 1 data array size in '{p}' file is 44100 samp/sec."},
        {Value(3, "+1.0000000e+00"),
         "Cannot read the channel 1 data array gain setting in the '{p}' file.\r\nCh1 "
         "data array gain is '+1.0000000e+00'.\r\nCannot set channel 1 gain."},
        {Value(4, "0.5"),
         "Cannot read the channel 1 data array phase delay setting in the '{p}' "
         "file.\r\nCh1 data array phase delay is '0.5'.\r\nCannot set channel 1 phase "
         "delay."},
        {Keep(0), "Cannot read the channel 1 data array type setting in the '{p}' file.\r\n The "
                  "files data array type setting must be 1"},
        {Keep(1), "Cannot read the channel 1 data array size setting in the '{p}' file.\r\n The "
                  "files data array type setting must be 4"},
        {Keep(2), "Cannot read the channel 1 data array sample rate setting in the '{p}' "
                  "file.\r\n The files data array sample rate setting must be 96000 samp/sec"},
        {Keep(3), "Cannot read the channel 1 data array gain setting in the '{p}' file."},
        {Keep(4), "Cannot read the channel 1 data array phase delay setting in the '{p}' file."},
        {Keep(7), "Channel 1 data length in file '{p}' is too short at element 2."}};
    for (const auto& [change, message] : cases) {
        CTempFolder folder;
        const std::string path = folder.File("h.rsp");
        Lines lines = kFreshFour;
        change(lines);
        PutFile(path, JoinLines(lines, "\r\n"));
        CDSPFFTData block;
        ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, 4, 96000.0, "Step: 1 Test"));
        block.GetTimeObj()->GetDataPointer()[3] = 7.0;
        EXPECT_EQ(::ResponseFile::Open(block, path, 0), 0);
        std::string expected = message;
        expected.replace(expected.find("{p}"), 3, path);
        EXPECT_EQ(block.GetErrorText(), expected);
        EXPECT_EQ(block.GetTimeObj()->GetDataPointer()[3], 7.0) << "element 3 was never read";
    }
}

TEST_F(ResponseFileIO, MissingUnnamedOrUnwritableFilesFailAndAListNamesTheFailingChannel) {
    CDSPFFTData block;
    CDSPFFTDataList list;
    ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, 4, 96000.0));
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 4, 96000.0, "Step: 3 Logger"));
    EXPECT_EQ(::ResponseFile::Open(block, "", 0), 0);
    EXPECT_EQ(block.GetErrorText(), "File Name Not Specified.");
    EXPECT_EQ(::ResponseFile::Open(list, ""), 0);
    EXPECT_EQ(list.GetErrorText(), "File Name Not Specified.");
    EXPECT_EQ(::ResponseFile::Open(block, folder.File("none.rsp"), 0), 0);
    EXPECT_NE(block.GetErrorText().find("none.rsp"), std::string::npos);
    EXPECT_EQ(::ResponseFile::Save(list, folder.File("no/folder.rsp")), 0);
    EXPECT_NE(list.GetErrorText().find("no/folder.rsp"), std::string::npos);

    Lines second = kFreshFour;
    second[1] = second[1].substr(0, 29) + "+8.0000000e+000";
    PutFile(path, JoinLines(kFreshFour, "\r\n") + JoinLines(second, "\r\n"));
    EXPECT_EQ(::ResponseFile::Open(list, path), 0);
    EXPECT_EQ(list.GetErrorText(),
              "The channel 2 data array size in Step: 3 Logger module is set to 4 elements.\r\n"
              "The channel 2 data array size in '" +
                  path + "' file is 8 elements.");
    EXPECT_EQ(list.GetErrorText(), list.GetAt(1)->GetErrorText());
}

// Fields split at spaces or tabs and missing ones read zero; a response block takes the file's
// frequencies.
TEST_F(ResponseFileIO, ReadsWhateverTheLineEndsAndFieldSeparators) {
    Lines lines = kResponseFour;
    lines[5] = "1.5\t2.5 3.5";
    lines[6] = "7";
    lines[7] = "8 9";
    lines[8] = "1e3\t-2e-3\t+4.5e+002xyz";
    for (const char* end : {"\n", "\r\n", "\r\r\n"}) {
        PutFile(path, JoinLines(lines, end));
        CDSPFFTData block;
        ASSERT_TRUE(block.Create(CDSPData::kResponseBlock, 4, 8000.0));
        EXPECT_EQ(::ResponseFile::Open(block, path, 0), 4) << block.GetErrorText();
        EXPECT_EQ(Snapshot(block),
                  (CBlockSnapshot{{1.5, 7, 8, 1000}, {2.5, 0, 9, -0.002}, {3.5, 0, 0, 450}}));
        EXPECT_EQ(block.GetGain(), 0.5) << "line end of " << strlen(end);
        EXPECT_EQ(block.GetDelay(), 2.5);
    }
}

TEST(ResponseFile, RandomBlocksComeBackToTheWrittenPrecision) {
    for (const auto& [type, size] : {std::pair{1, 1}, {1, 1024}, {2, 64}}) {
        CDSPFFTDataList list, read;
        ASSERT_TRUE(list.Create(2, type, size, 48000.0));
        FillRandom(list, 4711u + unsigned(size), 300);
        CTempFolder folder;
        ASSERT_EQ(::ResponseFile::Save(list, folder.File("r.rsp")), 2 * size);
        ASSERT_TRUE(read.Create(2, type, size, 48000.0));
        ASSERT_EQ(::ResponseFile::Open(read, folder.File("r.rsp")), size) << read.GetErrorText();
        for (int ch = 0; ch < 2; ++ch) {
            ExpectWithinWrittenPrecision(Snapshot(*read.GetAt(ch)), Snapshot(*list.GetAt(ch)));
            ExpectWithinWrittenPrecision({{read.GetGain(ch)}, {read.GetDelay(ch)}, {}},
                                         {{list.GetGain(ch)}, {list.GetDelay(ch)}, {}});
        }
    }
}

TEST_F(ResponseFileIO, CommaDecimalLocaleWritesAndReadsTheSameFile) {
    if (!UseCommaDecimalLocale()) GTEST_SKIP() << "no comma-decimal locale available";
    CDSPFFTData block, read;
    MakeResponseFour(block);
    const int32_t saved = ::ResponseFile::Save(block, path);
    read.Create(CDSPData::kResponseBlock, 4, 8000.0);
    const int32_t opened = ::ResponseFile::Open(read, path, 0);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(saved, 4);
    EXPECT_EQ(GetFile(path), JoinLines(kResponseFour, "\r\n"));
    EXPECT_EQ(opened, 4) << read.GetErrorText();
    EXPECT_EQ(Snapshot(read), kResponse);
    EXPECT_EQ(read.GetGain(), 0.5);
}

TEST(ResponseFile, DataStringIsOneNumberOrOneDataLineWithThreeDigitExponents) {
    for (const auto& [text, expected] :
         {std::pair{"+1.0000000e+003", true},
          {"-1,0000000E-003", true},
          {"+1.0000000e+003\n", true},
          {"+1.0000000e+03\r\n", true},
          {"+0.0000000e+000 +1.0000000e+000 +0.0000000e+000\n", true},
          {"", false},
          {"+1.0000000e+00", false},
          {"+1.0000000e+0003", true},
          {"+1.0000000e+0003\n", false},
          {"+1.0000000x+003", false},
          {"+1.0000000e+003\t", false},
          {"+0.0000000e+000\t+1.0000000e+000\t+0.0000000e+000\n", false}})
        EXPECT_EQ(::ResponseFile::IsCDSPFFTDataString(text), expected) << "'" << text << "'";
}

} // namespace
