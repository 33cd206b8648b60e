#include "ui/MessageSink.h"

#include "UtcTest.h"

#include <sstream>

namespace {

class RecordingSink : public CUtcTest {};

CMessageBox Box(const char* message, unsigned style) {
    return CMessageBox(message, style, std::nullopt, kTestTime);
}

TEST_F(RecordingSink, DefaultsDeclineQuestions) {
    CRecordingMessageSink sink;
    EXPECT_EQ(sink.ShowMessageBox(Box("a", MB_OK)), IDOK);
    EXPECT_EQ(sink.ShowMessageBox(Box("b", MB_YESNOCANCEL)), IDCANCEL);
    EXPECT_EQ(sink.ShowMessageBox(Box("c", MB_YESNO)), IDNO);
}

TEST_F(RecordingSink, ConfiguredDefaultsPerStyle) {
    CRecordingMessageSink sink;
    sink.SetDefaultAnswer(MB_YESNO, IDYES);
    sink.SetDefaultAnswer(MB_YESNOCANCEL, IDNO);
    EXPECT_EQ(sink.ShowMessageBox(Box("c", MB_YESNO)), IDYES);
    EXPECT_EQ(sink.ShowMessageBox(Box("b", MB_YESNOCANCEL)), IDNO);
    EXPECT_EQ(sink.ShowMessageBox(Box("a", MB_OK)), IDOK);
}

TEST_F(RecordingSink, ScriptedAnswersFirstInOrderThenDefaults) {
    CRecordingMessageSink sink;
    sink.QueueAnswer(IDYES);
    sink.QueueAnswer(IDNO);
    EXPECT_EQ(sink.PendingAnswers(), 2u);
    EXPECT_EQ(sink.ShowMessageBox(Box("q1", MB_YESNO)), IDYES);
    EXPECT_EQ(sink.ShowMessageBox(Box("q2", MB_YESNOCANCEL)), IDNO);
    EXPECT_EQ(sink.PendingAnswers(), 0u);
    EXPECT_EQ(sink.ShowMessageBox(Box("q3", MB_YESNO)), IDNO);

    ASSERT_EQ(sink.Records().size(), 3u);
    EXPECT_EQ(sink.Records()[0].text, "\nTime: 14 Nov 23 22:13:20\nMessage: q1");
    EXPECT_EQ(sink.Records()[1].style, MB_YESNOCANCEL);
    EXPECT_EQ(sink.Records()[1].answer, IDNO);
    EXPECT_EQ(sink.Records()[2].answer, IDNO);
    sink.ClearRecords();
    EXPECT_TRUE(sink.Records().empty());
}

TEST_F(RecordingSink, EchoesTextAndAnswer) {
    std::ostringstream out;
    CRecordingMessageSink sink(&out);
    sink.ShowMessageBox(Box("Printer Does Not Support Raster Operations", MB_YESNO));
    EXPECT_EQ(out.str(), "\nTime: 14 Nov 23 22:13:20\n"
                         "Message: Printer Does Not Support Raster Operations\n[answer 7]\n");
}

} // namespace
