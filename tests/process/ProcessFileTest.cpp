// Process files: the exact bytes written, both readings of an open, the legacy layout, and
// damaged or unwritable files.
#include "common/ArchiveBytes.h"
#include "common/TempFolder.h"
#include "common/TestModules.h"
#include "common/TextFileUtil.h"

#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Header of a process file up to and including the step lists: block size 2048, 48 kHz, pause
// on record count 3.
CArchiveBytes Header(const char* schema, bool classRecord, const std::vector<std::string>& names,
                     const std::vector<std::string>& ids, CRect main = {}, CRect frame = {}) {
    CArchiveBytes f;
    f.Text(schema);
    if (classRecord) f.NewClass("CDspDoc");
    f.I32(2048).F64(48000.0).I32(3).I32(0);
    f.Rect(main.left, main.top, main.right, main.bottom);
    f.Rect(frame.left, frame.top, frame.right, frame.bottom);
    return f.Texts(names).Texts(ids);
}

// The three-step process below: one class record per class, then back-references (CDspView is
// index 2, CTestScopeView index 4); no pane sizes, each module's selected channel and level.
Bytes ThreeStepFile() {
    CArchiveBytes f = Header("Process0", true, {"Signal Generator", "Oscilloscope", "Oscilloscope"},
                             {"1", "2", "3"});
    f.I32(0).I32(0).I32(0).I32(0).I32(0).I32(0);
    f.NewClass("CDspView").I32(0).NewClass("CTestModuleView").I32(11);
    f.ClassRef(2).I32(0).NewClass("CTestScopeView").I32(22);
    return f.ClassRef(2).I32(0).ClassRef(4).I32(33);
}

class ProcessFile : public testing::Test {
protected:
    CModuleProcess t{TestRegistry()};
    CTempFolder dir;

    std::string Write(const std::string& name, const Bytes& bytes) {
        PutFile(dir.File(name), std::string(bytes.begin(), bytes.end()));
        return dir.File(name);
    }
    static Bytes Read(const std::string& path) {
        const std::string bytes = GetFile(path);
        return Bytes(bytes.begin(), bytes.end());
    }
    CDspDoc* Open(const Bytes& bytes, std::string& error) {
        return t.Session().Open(Write("open.process", bytes), error) ? &t.Session().Document()
                                                                     : nullptr;
    }
    CDspDoc* MakeThreeStepProcess() {
        CDspDoc* doc = t.Create({"Signal Generator", "Oscilloscope", "Oscilloscope"},
                                CSessionOptions{2048, 48000.0});
        CFFTOptions options;
        doc->FillFFTOptions(options);
        options.m_pauseOnRecord = "3";
        std::string message;
        EXPECT_TRUE(doc->ApplyFFTOptions(options, message));
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(
                t.Session().SetControl(i + 1, "level", std::to_string(11 * (i + 1)), message));
        return doc;
    }
};

TEST_F(ProcessFile, WritesTheExactLayoutAndOnlyAChangedValueMarksItModified) {
    CDspDoc* doc = MakeThreeStepProcess();
    std::string message;
    ASSERT_TRUE(t.Save(dir.File("three.process")));
    EXPECT_EQ(Read(dir.File("three.process")), ThreeStepFile());
    EXPECT_FALSE(doc->IsModified());
    // Confirming a value as it is (an edit left by tabbing, the FFT options unchanged) or
    // running the process leaves the document unmodified.
    for (const char* same : {"11", "11.0", " 11"}) {
        EXPECT_TRUE(doc->GetView(0)->SetControl("level", same, message)) << message;
        EXPECT_FALSE(doc->IsModified()) << same;
    }
    CFFTOptions options;
    doc->FillFFTOptions(options);
    ASSERT_TRUE(doc->ApplyFFTOptions(options, message)) << message;
    EXPECT_EQ(t.Session().Run(2), 2);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(doc->GetView(0)->SetControl("level", "12", message)) << message;
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ProcessFile, OpenReadsTwiceAndRestoresEveryModule) {
    std::string error;
    const std::string path = Write("three.process", ThreeStepFile());
    std::vector<CDspDoc*> shown;
    t.App().Hooks().documentOpened = [&](CDspDoc* d) { shown.push_back(d); };
    CDspDoc* doc = t.App().OpenDocumentFile(path, error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(t.App().GetSchema(), "Process0");
    // One call reads twice: the first reading's one-view document is gone, and a host is
    // shown only the rebuilt document with one pane per step.
    ASSERT_EQ(t.App().GetDocuments().size(), 1u);
    EXPECT_EQ(t.App().GetDocuments()[0].get(), doc);
    EXPECT_EQ(shown, std::vector<CDspDoc*>{doc});
    EXPECT_EQ(t.App().GetCurrentDocument(), doc);
    EXPECT_EQ(doc->GetTitle(), "three.process");
    ASSERT_EQ(doc->GetViewCount(), 3u);
    EXPECT_EQ(ModuleAt(*doc, 0).m_level, 11);
    EXPECT_EQ(ModuleAt(*doc, 2).m_level, 33);
    EXPECT_TRUE(doc->GetView(1)->IsKindOf(RUNTIME_CLASS(CTestScopeView)));
    EXPECT_EQ(doc->GetSampleRate(), 48000.0);
    EXPECT_EQ(doc->GetPauseOnRecordCount(), 3);
    EXPECT_EQ(ModuleAt(*doc, 1).GetWorkingList()->GetSize(0), 2048) << "ShowCurrentParams ran";
    EXPECT_EQ(t.App().GetRecentFiles().front(), path);
}

// One step with its window placement and pane size.
CArchiveBytes PlacedStepFile() {
    CArchiveBytes f =
        Header("Process0", true, {"SoundIO"}, {"4"}, {10, 20, 810, 620}, {0, 0, 400, 300});
    f.I32(396).I32(250).NewClass("CDspView").I32(2).NewClass("CTestModuleView").I32(60);
    return f;
}

TEST_F(ProcessFile, AHeadlessRoundTripKeepsTheWindowPlacementAndBytes) {
    const CArchiveBytes f = PlacedStepFile();
    std::string error;
    CDspDoc* doc = Open(f, error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->GetMainWindowRect(), (CRect{10, 20, 810, 620}));
    EXPECT_EQ(doc->GetView(0)->GetSelectedChannel(), 2);
    ASSERT_TRUE(t.Session().Save(dir.File("again.process"), error));
    EXPECT_EQ(Read(dir.File("again.process")), f.Get());
}

/** A frame that records where the document moved it. */
struct CRecordingFrame : IDocumentFrame {
    CRect main, frame;
    CRect GetMainWindowRect() const override { return main; }
    CRect GetFrameRect() const override { return frame; }
    std::vector<CSize> GetPaneSizes() const override { return {}; }
    void MoveMainWindow(const CRect& r) override { main = r; }
    void MoveFrame(const CRect& r) override { frame = r; }
};

// Only the process the calibration dialog opens is the calibration document, whatever the name
// of the user's own file: that one takes its window placement and shows its steps' errors.
TEST_F(ProcessFile, AUsersFileNamedLikeTheCalibrationProcessIsAnOrdinaryProcess) {
    std::string error;
    ASSERT_TRUE(t.Session().Open(Write("calibration.process", PlacedStepFile().Get()), error))
        << error;
    CDspDoc& doc = t.Session().Document();
    EXPECT_EQ(doc.GetTitle(), "calibration.process");
    EXPECT_FALSE(doc.IsCalibrationDocument());
    CRecordingFrame frame;
    doc.SetFrame(&frame);
    doc.ApplyWindowPlacement();
    EXPECT_EQ(frame.main, (CRect{10, 20, 810, 620}));
    EXPECT_EQ(frame.frame, (CRect{0, 0, 400, 300}));
    ModuleAt(doc, 0).m_failAtCall = 1;
    EXPECT_EQ(t.Session().Run(1), 0);
    EXPECT_EQ(t.Session().GetMessages(),
              std::vector<std::string>{"Error Detected In\r\nStep: 1 SoundIO\r\nTest failure"});

    // Marked, the same document keeps the windows where they are and its errors are silent.
    doc.SetCalibrationDocument(true);
    frame = {};
    doc.ApplyWindowPlacement();
    EXPECT_EQ(frame.main, CRect{});
    EXPECT_EQ(frame.frame, CRect{});
    ModuleAt(doc, 0).m_failAtCall = 2;
    EXPECT_EQ(t.Session().Run(1), 0);
    EXPECT_TRUE(t.Session().GetMessages().empty());
    doc.SetFrame(nullptr);

    // Opened as the calibration's own process, the document is marked before any host sees it.
    std::vector<bool> markedWhenShown;
    t.App().Hooks().documentOpened = [&](CDspDoc* shown) {
        markedWhenShown.push_back(shown->IsCalibrationDocument());
    };
    const std::string path = doc.GetPathName();
    ASSERT_TRUE(t.App().OpenDocumentFile(path, error)) << error;
    ASSERT_TRUE(t.App().OpenDocumentFile(path, error, CDspApp::EOpenAs::CalibrationProcess))
        << error;
    EXPECT_EQ(markedWhenShown, (std::vector<bool>{false, true}));
    t.App().Hooks().documentOpened = nullptr;
}

TEST_F(ProcessFile, LegacyLayoutHasNoClassRecordsAndIsSavedInTheCurrentOne) {
    CArchiveBytes f = Header("Process", false, {"Signal Generator", "SoundIO"}, {"1", "2"});
    f.I32(0).I32(0).I32(0).I32(0).I32(1).I32(70).I32(0).I32(80);
    std::string error;
    CDspDoc* doc = Open(f, error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(t.App().GetSchema(), "Process");
    EXPECT_EQ(ModuleAt(*doc, 0).m_level, 70);
    EXPECT_EQ(ModuleAt(*doc, 0).GetSelectedChannel(), 1);
    EXPECT_EQ(ModuleAt(*doc, 1).m_level, 80);
    ASSERT_TRUE(t.Session().Save(dir.File("new.process"), error));
    EXPECT_EQ(Read(dir.File("new.process"))[0], 8) << "\"Process0\"";
}

TEST_F(ProcessFile, AStepCountOutsideOneToSixGivesADocumentWithoutSteps) {
    for (size_t n : {0u, 7u}) {
        std::string error;
        ASSERT_TRUE(Open(Header("Process0", true, std::vector<std::string>(n, "SoundIO"),
                                std::vector<std::string>(n, "1")),
                         error))
            << error;
        EXPECT_EQ(t.Session().GetStepCount(), 0);
        EXPECT_EQ(t.Session().Document().GetSize(), 2048) << "the settings read so far are kept";
        t.App().CloseDocument(&t.Session().Document());
    }
}

Bytes WithSize(int32_t size) {
    CArchiveBytes f;
    f.Text("Process0").NewClass("CDspDoc").I32(size).F64(48000).I32(0).I32(0);
    return f;
}

Bytes WithStep(const std::string& name, const std::string& moduleClass, int32_t channel) {
    CArchiveBytes f = Header("Process0", true, {name}, {"1"});
    f.I32(0).I32(0).NewClass("CDspView").I32(channel).NewClass(moduleClass).I32(1);
    return f;
}

Bytes WithTrailingBytes() {
    Bytes b = ThreeStepFile();
    b.insert(b.end(), {0, 0, 0});
    return b;
}

TEST_F(ProcessFile, ADamagedFileFailsWithAClearMessageAndNoDocument) {
    const std::pair<Bytes, const char*> cases[] = {
        {{}, "Unexpected end of file"},
        {CArchiveBytes().Text("Hello"), "Not a process file"},
        {WithSize(1000), "Invalid FFT size 1000"},
        {WithSize(0), "Invalid FFT size 0"},
        {WithStep("Mystery Box", "CTestModuleView", 0),
         "Step 1 uses the module \"Mystery Box\", which is not available"},
        {WithStep("SoundIO", "CTestModuleView", 9), "Selected channel out of range"},
        {WithStep("Oscilloscope", "CDspDoc", 0), "was expected"}, // another step's class
        {WithTrailingBytes(), "3 bytes follow the last step"}};
    for (const auto& [bytes, expected] : cases) {
        std::string error;
        EXPECT_EQ(Open(bytes, error), nullptr) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_TRUE(t.App().GetDocuments().empty()) << expected;
    }
}

TEST_F(ProcessFile, EveryTruncationFailsCleanlyAndAHugeForeignFileByItsStart) {
    const Bytes full = ThreeStepFile();
    for (size_t n = 0; n < full.size(); ++n) {
        std::string error;
        EXPECT_EQ(Open(Bytes(full.begin(), full.begin() + long(n)), error), nullptr) << n;
        EXPECT_FALSE(error.empty()) << n;
        EXPECT_TRUE(t.App().GetDocuments().empty()) << n;
    }
    // Only the start of a file that is not a process file is read, however large it is.
    const std::string path = Write("huge.process", CArchiveBytes().Text("Hello"));
    fs::resize_file(path, uintmax_t(1) << 32); // sparse: no disk space used
    std::string error;
    EXPECT_EQ(t.App().OpenDocumentFile(path, error), nullptr);
    EXPECT_EQ(error, "Cannot open " + path + ": Not a process file");
}

TEST_F(ProcessFile, AFailedSaveLeavesTheOldFileIntact) {
    MakeThreeStepProcess();
    const Bytes old{'o', 'l', 'd'};
    const std::string path = Write("keep.process", old);
    // The child runs out of file space (a file size limit) in the middle of the write.
    auto saveWithLittleSpace = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 64;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        std::exit(t.Session().Save(path, error) ? 0 : 3);
    };
    EXPECT_EXIT(saveWithLittleSpace(), testing::ExitedWithCode(3), "");
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.process"}) << "no temporary left";
}

// The question before closing a changed document: its own sink here, to answer it.
TEST(ProcessFileClose, SaveModifiedAsksYesNoCancel) {
    CTempFolder dir;
    CRecordingMessageSink sink;
    CFixedClock clock{0};
    CAudioServices audio;
    CDspApp app(TestRegistry(), sink, {.clock = clock, .audio = audio});
    CDspDoc* doc = app.OnFileNew();
    const std::string path = dir.File("m.process");
    std::string error;
    ASSERT_TRUE(doc->OnSaveDocument(path, error));
    doc->SetPathName(path);
    EXPECT_TRUE(doc->SaveModified()) << "nothing to ask";
    EXPECT_TRUE(sink.Records().empty());

    doc->SetModifiedFlag();
    sink.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(doc->SaveModified());
    ASSERT_EQ(sink.Records().size(), 1u);
    EXPECT_EQ(sink.Records()[0].style, MB_YESNOCANCEL);
    EXPECT_NE(sink.Records()[0].text.find("Save changes to m.process?"), std::string::npos);
    sink.QueueAnswer(IDNO);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_TRUE(doc->IsModified());
    sink.QueueAnswer(IDYES);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_FALSE(doc->IsModified());
    doc->SetModifiedFlag();
    sink.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(app.OnFileClose(doc));
    EXPECT_EQ(app.GetDocuments().size(), 1u);
}

} // namespace
