#include "ui/MessageSink.h"

#include "UtcTest.h"

#include <sstream>

namespace {

class RecordingSink : public CUtcTest {};

CMessageBox Box(const char* message, unsigned style) {
    return CMessageBox(message, style, std::nullopt, kTestTime);
}

// Scripted answers first in order, then the configured default of the style, else the
// declining answer; each box is recorded and echoed with its answer.
TEST_F(RecordingSink, AnswersScriptedThenConfiguredThenDeclining) {
    std::ostringstream out;
    CRecordingMessageSink sink(&out);
    sink.QueueAnswer(IDYES);
    sink.SetDefaultAnswer(MB_YESNOCANCEL, IDNO);
    EXPECT_EQ(sink.ShowMessageBox(Box("q1", MB_YESNO)), IDYES);
    EXPECT_EQ(sink.PendingAnswers(), 0u);
    EXPECT_EQ(sink.ShowMessageBox(Box("q2", MB_YESNOCANCEL)), IDNO);
    EXPECT_EQ(sink.ShowMessageBox(Box("q3", MB_YESNO)), IDNO);
    EXPECT_EQ(sink.ShowMessageBox(Box("q4", MB_OK)), IDOK);
    ASSERT_EQ(sink.Records().size(), 4u);
    EXPECT_EQ(sink.Records()[1].style, MB_YESNOCANCEL);
    EXPECT_EQ(sink.Records()[2].answer, IDNO);
    EXPECT_EQ(sink.Records()[0].text, "\nTime: 14 Nov 23 22:13:20\nMessage: q1");
    EXPECT_TRUE(out.str().starts_with("\nTime: 14 Nov 23 22:13:20\nMessage: q1\n[answer 6]\n"));
    sink.ClearRecords();
    EXPECT_TRUE(sink.Records().empty());
    CRecordingMessageSink plain;
    EXPECT_EQ(plain.ShowMessageBox(Box("q", MB_YESNOCANCEL)), IDCANCEL);
}

} // namespace
