#pragma once
// Where the core's message boxes go: a modal box in the GUI, a record in tests and on the
// command line.

#include "ui/MessageBox.h"

#include <deque>
#include <map>
#include <ostream>
#include <string>
#include <vector>

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    /** Shows a composed message box and returns its result code; GUI thread. */
    virtual int ShowMessageBox(const CMessageBox&) = 0;
};

/** Records every box and answers it without asking anyone. Scripted answers are used first,
 *  in order, whatever the box's style. With none left, a box is answered by its style's
 *  default: OK for style 0, Cancel for style 3 and No for style 4 (the answers that decline a
 *  question, the same as closing the box), each changeable with SetDefaultAnswer. */
class CRecordingMessageSink final : public IMessageSink {
public:
    struct CRecord {
        std::string text;    // as composed for the box
        std::string message; // the caller's message alone
        unsigned style = 0;
        int answer = 0;
    };

    /** When `echo` is given, each box's text and answer are also written to it. */
    explicit CRecordingMessageSink(std::ostream* echo = nullptr) : m_echo(echo) {}

    int ShowMessageBox(const CMessageBox& box) override;

    void QueueAnswer(int result) { m_answers.push_back(result); }
    void SetDefaultAnswer(unsigned style, int result) { m_defaults[style] = result; }
    size_t PendingAnswers() const { return m_answers.size(); }

    const std::vector<CRecord>& Records() const { return m_records; }
    void ClearRecords() { m_records.clear(); }

private:
    std::ostream* m_echo;
    std::deque<int> m_answers;
    std::map<unsigned, int> m_defaults;
    std::vector<CRecord> m_records;
};
