// Process files: the exact bytes written, both readings of an open, the legacy layout, and
// damaged or unwritable files.
#include "TestModules.h"
#include "common/TempFolder.h"

#include "process/DspDoc.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Builds archive bytes by hand, independently of CArchive.
struct CBytes {
    Bytes b;
    CBytes& U16(uint16_t v) { return Raw({uint8_t(v), uint8_t(v >> 8)}); }
    CBytes& I32(int32_t v) {
        const uint32_t u = uint32_t(v);
        return Raw({uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)});
    }
    CBytes& F64(double v) {
        uint8_t raw[8];
        std::memcpy(raw, &v, 8);
        return Raw({raw[0], raw[1], raw[2], raw[3], raw[4], raw[5], raw[6], raw[7]});
    }
    CBytes& Text(const std::string& s) {
        b.push_back(uint8_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    CBytes& NewClass(const std::string& name) {
        U16(0xFFFF).U16(0).U16(uint16_t(name.size()));
        b.insert(b.end(), name.begin(), name.end());
        return *this;
    }
    CBytes& Rect(int l, int t, int r, int bo) { return I32(l).I32(t).I32(r).I32(bo); }
    CBytes& Texts(const std::vector<std::string>& l) {
        U16(uint16_t(l.size()));
        for (const auto& s : l)
            Text(s);
        return *this;
    }
    CBytes& Raw(std::initializer_list<uint8_t> v) {
        b.insert(b.end(), v);
        return *this;
    }
};

// Header of a process file up to and including the step lists.
CBytes Header(const char* schema, bool classRecord, const std::vector<std::string>& names,
              const std::vector<std::string>& ids, CRect main = {}, CRect frame = {}) {
    CBytes f;
    f.Text(schema);
    if (classRecord) f.NewClass("CDspDoc");
    f.I32(2048).F64(48000.0).I32(3).I32(0);
    f.Rect(main.left, main.top, main.right, main.bottom)
        .Rect(frame.left, frame.top, frame.right, frame.bottom);
    f.Texts(names).Texts(ids);
    return f;
}

class ProcessFile : public testing::Test {
protected:
    CTestApp t;
    fs::path dir;

    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("aurivo-process-file-" + std::to_string(::getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return p.string();
    }
    static Bytes Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    // Opens as the GUI does: the first reading, then the rebuild at the next idle call.
    CDspDoc* Open(const std::string& path, std::string& error) {
        if (!t.app.OpenDocumentFile(path, error)) return nullptr;
        return t.app.ReopenMarkedDocument(error);
    }
};

// The expected bytes of the three-step process below: one class record per class, then
// back-references (CDspView is index 2, CTestScopeView index 4).
Bytes ThreeStepFile() {
    CBytes f = Header("Process0", true, {"Signal Generator", "Oscilloscope", "Oscilloscope"},
                      {"1", "2", "3"});
    for (int i = 0; i < 3; ++i)
        f.I32(0).I32(0);
    f.NewClass("CDspView").I32(0).NewClass("CTestModuleView").I32(11);
    f.U16(0x8002).I32(0).NewClass("CTestScopeView").I32(22);
    f.U16(0x8002).I32(0).U16(0x8004).I32(33);
    return f.b;
}

CDspDoc* MakeThreeStepProcess(CTestApp& t) {
    CDspDoc* doc = t.NewProcess({"Signal Generator", "Oscilloscope", "Oscilloscope"});
    CFFTOptions options;
    doc->FillFFTOptions(options);
    options.m_size = "2048";
    options.m_sampleRate = "48000";
    options.m_pauseOnRecord = "3";
    std::string message;
    EXPECT_TRUE(doc->ApplyFFTOptions(options, message));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(doc->GetView(i)->SetControl("level", std::to_string(11 * (i + 1)), message));
    return doc;
}

TEST_F(ProcessFile, WritesTheExactLayout) {
    CDspDoc* doc = MakeThreeStepProcess(t);
    const std::string path = (dir / "three.process").string();
    std::string error;
    ASSERT_TRUE(doc->OnSaveDocument(path, error)) << error;
    EXPECT_EQ(Read(path), ThreeStepFile());
    EXPECT_FALSE(doc->IsModified());
}

// Confirming a value as it is (an edit left by tabbing, the FFT options unchanged) or running
// the process leaves the document unmodified; only a changed value marks it.
TEST_F(ProcessFile, OnlyAChangedValueMarksTheDocumentModified) {
    CDspDoc* doc = MakeThreeStepProcess(t);
    std::string error, message;
    ASSERT_TRUE(doc->OnSaveDocument((dir / "three.process").string(), error)) << error;
    for (const char* same : {"11", "11.0", " 11"}) {
        EXPECT_TRUE(doc->GetView(0)->SetControl("level", same, message)) << message;
        EXPECT_FALSE(doc->IsModified()) << same;
    }
    CFFTOptions options;
    doc->FillFFTOptions(options);
    ASSERT_TRUE(doc->ApplyFFTOptions(options, message)) << message;
    EXPECT_FALSE(doc->IsModified());
    ASSERT_TRUE(doc->OnEditRun());
    for (int i = 0; i < 4; ++i)
        doc->OnIdle();
    doc->OnEditStop();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(doc->GetView(0)->SetControl("level", "12", message)) << message;
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ProcessFile, OpenReadsTwiceAndRestoresEveryModule) {
    std::string error;
    const std::string path = Write("three.process", ThreeStepFile());
    CDspDoc* first = t.app.OpenDocumentFile(path, error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->GetViewCount(), 1u) << "the first reading cannot build the panes";
    EXPECT_EQ(t.app.GetDocumentToReopen(), first);
    EXPECT_EQ(t.app.GetSchema(), "Process0");
    EXPECT_EQ(t.app.m_savedPaneSizes[2], (CSize{0, 0}));

    t.app.OnIdle(); // the rebuild happens at the next idle call
    ASSERT_EQ(t.app.GetDocuments().size(), 1u);
    CDspDoc* doc = t.app.GetDocuments()[0].get();
    EXPECT_EQ(t.app.GetDocumentToReopen(), nullptr);
    EXPECT_EQ(t.app.GetCurrentDocument(), doc);
    EXPECT_EQ(doc->GetTitle(), "three.process");
    ASSERT_EQ(doc->GetViewCount(), 3u);
    EXPECT_EQ(ModuleAt(*doc, 0).m_level, 11);
    EXPECT_EQ(ModuleAt(*doc, 2).m_level, 33);
    EXPECT_TRUE(doc->GetView(1)->IsKindOf(RUNTIME_CLASS(CTestScopeView)));
    EXPECT_EQ(doc->GetSize(), 2048);
    EXPECT_EQ(doc->GetSampleRate(), 48000.0);
    EXPECT_EQ(doc->GetPauseOnRecordCount(), 3);
    EXPECT_EQ(ModuleAt(*doc, 1).GetWorkingList()->GetSize(0), 2048) << "ShowCurrentParams ran";
    EXPECT_TRUE(doc->IsRedrawPending());
    EXPECT_EQ(t.app.GetRecentFiles().front(), path);
}

// Files opened one after another before the next idle call (as from the command line) all
// open; the failure of one is not shown under another's title.
TEST_F(ProcessFile, SeveralFilesOpenedBeforeIdleAllOpen) {
    std::string error;
    ASSERT_TRUE(t.app.OpenDocumentFile(Write("a.process", ThreeStepFile()), error)) << error;
    ASSERT_TRUE(t.app.OpenDocumentFile(Write("b.process", ThreeStepFile()), error)) << error;
    EXPECT_FALSE(t.app.OpenDocumentFile(Write("c.process", {1, 2, 3}), error));
    t.app.ShowOpenError(error);
    t.app.OnIdle();
    ASSERT_EQ(t.app.GetDocuments().size(), 2u);
    for (const auto& doc : t.app.GetDocuments())
        EXPECT_EQ(doc->GetViewCount(), 3u) << doc->GetTitle();
    EXPECT_EQ(t.app.GetDocuments()[0]->GetTitle(), "a.process");
    EXPECT_EQ(t.app.GetDocuments()[1]->GetTitle(), "b.process");
    ASSERT_EQ(t.sink.Records().size(), 1u);
    EXPECT_EQ(t.sink.Records()[0].text.find("Process:"), std::string::npos)
        << t.sink.Records()[0].text;
}

TEST_F(ProcessFile, AHeadlessRoundTripKeepsTheWindowPlacementAndBytes) {
    CBytes f = Header("Process0", true, {"SoundIO"}, {"4"}, {10, 20, 810, 620}, {0, 0, 400, 300});
    f.I32(396).I32(250);
    f.NewClass("CDspView").I32(2).NewClass("CTestModuleView").I32(60);
    std::string error;
    CDspDoc* doc = Open(Write("one.process", f.b), error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->GetMainWindowRect(), (CRect{10, 20, 810, 620}));
    EXPECT_EQ(doc->GetView(0)->GetSelectedChannel(), 2);
    const std::string again = (dir / "again.process").string();
    ASSERT_TRUE(doc->OnSaveDocument(again, error));
    EXPECT_EQ(Read(again), f.b);
}

TEST_F(ProcessFile, LegacyLayoutHasNoClassRecords) {
    CBytes f = Header("Process", false, {"Signal Generator", "SoundIO"}, {"1", "2"});
    f.I32(0).I32(0).I32(0).I32(0);
    f.I32(1).I32(70).I32(0).I32(80);
    std::string error;
    CDspDoc* doc = Open(Write("old.process", f.b), error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(t.app.GetSchema(), "Process");
    EXPECT_EQ(ModuleAt(*doc, 0).m_level, 70);
    EXPECT_EQ(ModuleAt(*doc, 0).GetSelectedChannel(), 1);
    EXPECT_EQ(ModuleAt(*doc, 1).m_level, 80);

    // Saving writes the current layout.
    const std::string saved = (dir / "new.process").string();
    ASSERT_TRUE(doc->OnSaveDocument(saved, error));
    EXPECT_EQ(Read(saved)[0], 8);
}

TEST_F(ProcessFile, AStepCountOutsideOneToSixGivesADocumentWithoutSteps) {
    for (size_t n : {0u, 7u}) {
        CBytes f = Header("Process0", true, std::vector<std::string>(n, "SoundIO"),
                          std::vector<std::string>(n, "1"));
        std::string error;
        CDspDoc* doc = t.app.OpenDocumentFile(Write("n.process", f.b), error);
        ASSERT_TRUE(doc) << error;
        EXPECT_EQ(doc->GetStepCount(), 0);
        EXPECT_EQ(doc->GetSize(), 2048) << "the settings read so far are kept";
        EXPECT_EQ(t.app.GetDocumentToReopen(), nullptr);
        t.app.CloseDocument(doc);
    }
}

TEST_F(ProcessFile, AnUnknownModuleRefusesTheFile) {
    CBytes f = Header("Process0", true, {"SoundIO", "Mystery Box"}, {"1", "2"});
    f.I32(0).I32(0).I32(0).I32(0);
    std::string error;
    EXPECT_EQ(t.app.OpenDocumentFile(Write("x.process", f.b), error), nullptr);
    EXPECT_EQ(error, "Step 2 uses the module \"Mystery Box\", which is not available");
    EXPECT_TRUE(t.app.GetDocuments().empty());
}

struct DamagedCase {
    const char* name;
    Bytes bytes;
    const char* error;
};

class DamagedProcessFile : public ProcessFile, public testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedProcessFile, FailsWithAClearMessageAndNoDocument) {
    std::string error;
    EXPECT_EQ(Open(Write("bad.process", GetParam().bytes), error), nullptr);
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
    EXPECT_TRUE(t.app.GetDocuments().empty());
}

Bytes WithSize(int32_t size) {
    CBytes f;
    f.Text("Process0").NewClass("CDspDoc").I32(size).F64(48000).I32(0).I32(0);
    return f.b;
}

Bytes WithDocClass(const char* name) {
    CBytes f;
    f.Text("Process0").NewClass(name).I32(1024).F64(48000).I32(0).I32(0);
    return f.b;
}

Bytes WithSelectedChannel(int32_t channel) {
    CBytes f = Header("Process0", true, {"SoundIO"}, {"1"});
    f.I32(0).I32(0).NewClass("CDspView").I32(channel).NewClass("CTestModuleView").I32(1);
    return f.b;
}

Bytes WithWrongModuleClass() {
    CBytes f = Header("Process0", true, {"Oscilloscope"}, {"1"});
    f.I32(0).I32(0).NewClass("CDspView").I32(0).NewClass("CDspDoc").I32(1);
    return f.b;
}

Bytes WithTrailingBytes() {
    Bytes b = ThreeStepFile();
    b.insert(b.end(), {0, 0, 0});
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedProcessFile,
    testing::Values(
        DamagedCase{"empty", {}, "Unexpected end of file"},
        DamagedCase{"not a process", CBytes().Text("Hello").b, "Not a process file"},
        DamagedCase{"size not a power of two", WithSize(1000), "Invalid FFT size 1000"},
        DamagedCase{"size zero", WithSize(0), "Invalid FFT size 0"},
        DamagedCase{"unknown document class", WithDocClass("CNothing"), "Unknown class"},
        DamagedCase{"selected channel", WithSelectedChannel(9), "Selected channel out of range"},
        DamagedCase{"module class of another step", WithWrongModuleClass(), "was expected"},
        DamagedCase{"bytes after the last step", WithTrailingBytes(),
                    "3 bytes follow the last step"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (c == ' ') c = '_';
        return n;
    });

// Only the start of a file that is not a process file is read, however large it is.
TEST_F(ProcessFile, AHugeFileOfAnotherKindIsRefusedByItsStart) {
    const std::string path = Write("huge.process", CBytes().Text("Hello").b);
    fs::resize_file(path, uintmax_t(1) << 32); // sparse: no disk space used
    std::string error;
    EXPECT_EQ(t.app.OpenDocumentFile(path, error), nullptr);
    EXPECT_EQ(error, "Cannot open " + path + ": Not a process file");
}

TEST_F(ProcessFile, EveryTruncationFailsCleanly) {
    const Bytes full = ThreeStepFile();
    for (size_t n = 0; n < full.size(); ++n) {
        std::string error;
        CDspDoc* doc =
            Open(Write("cut.process", Bytes(full.begin(), full.begin() + long(n))), error);
        EXPECT_EQ(doc, nullptr) << n;
        EXPECT_FALSE(error.empty()) << n;
        EXPECT_TRUE(t.app.GetDocuments().empty()) << n;
    }
}

TEST_F(ProcessFile, AFailedSaveLeavesTheOldFileIntact) {
    CDspDoc* doc = MakeThreeStepProcess(t);
    const Bytes old{'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'};
    const std::string path = Write("keep.process", old);
    // The child runs out of file space (a file size limit) in the middle of the write.
    auto saveWithLittleSpace = [&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 64;
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        std::exit(doc->OnSaveDocument(path, error) ? 0 : 3);
    };
    EXPECT_EXIT(saveWithLittleSpace(), testing::ExitedWithCode(3), "");
    EXPECT_EQ(Read(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
        << "no temporary left";
}

TEST_F(ProcessFile, SaveAsAsksForAPathAndTakesIt) {
    struct CDialog : IFileDialog {
        std::string asked, answer;
        std::optional<std::string> AskSavePath(const std::string& title, const std::string& initial,
                                               const std::string&, const std::string&) override {
            asked = title + "|" + initial;
            if (answer.empty()) return std::nullopt;
            return answer;
        }
    } dialog;
    t.app.SetFileDialog(&dialog);
    CDspDoc* doc = MakeThreeStepProcess(t);
    EXPECT_FALSE(doc->OnFileSave()) << "cancelled";
    EXPECT_EQ(dialog.asked, "Save Process File|" + doc->GetTitle() + ".process");
    EXPECT_TRUE(doc->GetPathName().empty());

    dialog.answer = (dir / "chosen.process").string();
    EXPECT_TRUE(doc->OnFileSave());
    EXPECT_EQ(doc->GetPathName(), dialog.answer);
    EXPECT_EQ(doc->GetTitle(), "chosen.process");
    EXPECT_EQ(Read(dialog.answer), ThreeStepFile());
    EXPECT_EQ(t.app.GetRecentFiles().front(), dialog.answer);

    dialog.asked.clear();
    std::string message;
    ASSERT_TRUE(doc->GetView(0)->SetControl("level", "5", message));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->OnFileSave());
    EXPECT_TRUE(dialog.asked.empty()) << "a document with a path saves without asking";
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ProcessFile, SaveModifiedAsksYesNoCancel) {
    CDspDoc* doc = MakeThreeStepProcess(t);
    const std::string path = (dir / "m.process").string();
    std::string error;
    ASSERT_TRUE(doc->OnSaveDocument(path, error));
    doc->SetPathName(path);
    EXPECT_TRUE(doc->SaveModified()) << "nothing to ask";
    EXPECT_TRUE(t.sink.Records().empty());

    doc->SetModifiedFlag();
    t.sink.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(doc->SaveModified());
    ASSERT_EQ(t.sink.Records().size(), 1u);
    EXPECT_EQ(t.sink.Records()[0].style, MB_YESNOCANCEL);
    EXPECT_NE(t.sink.Records()[0].text.find("Save changes to m.process?"), std::string::npos);

    t.sink.QueueAnswer(IDNO);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_TRUE(doc->IsModified());

    t.sink.QueueAnswer(IDYES);
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_FALSE(doc->IsModified());

    doc->SetModifiedFlag();
    t.sink.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(t.app.OnFileClose(doc));
    EXPECT_EQ(t.app.GetDocuments().size(), 1u);
}

} // namespace
