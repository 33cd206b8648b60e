#include "ui/MessageSink.h"

int CRecordingMessageSink::ShowMessageBox(const CMessageBox& box) {
    int answer = box.CloseResult();
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    } else if (const auto d = m_defaults.find(box.GetStyle()); d != m_defaults.end()) {
        answer = d->second;
    }
    m_records.push_back({box.GetText(), box.GetMessage(), box.GetStyle(), answer});
    if (m_echo != nullptr) *m_echo << box.GetText() << "\n[answer " << answer << "]\n";
    return answer;
}
