#include "process/ProcessSelectDlg.h"

#include "process/DspApp.h"
#include "base/PlainText.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>

CProcessSelectDlg::CProcessSelectDlg(CDspApp& app, std::list<std::string> names,
                                     std::list<std::string> ids)
    : m_app(app), m_available(app.GetAvailableModules()), m_names(std::move(names)),
      m_ids(std::move(ids)) {
    for (const std::string& id : m_ids)
        m_highestId = std::max(m_highestId, std::atoi(id.c_str()));
}

std::vector<std::string> CProcessSelectDlg::GetModuleList() const {
    std::vector<std::string> list(m_names.begin(), m_names.end());
    list.emplace_back(kEndMarker);
    return list;
}

bool CProcessSelectDlg::OnInsert() {
    if (static_cast<int>(m_names.size()) >= kModuleLimit) {
        m_app.MessageBox("Too many modules in process", MB_OK);
        return false;
    }
    if (m_availableSel < 0 || size_t(m_availableSel) >= m_available.size()) return false;
    const size_t position = std::min<size_t>(std::max(m_moduleSel, 0), m_names.size());
    m_names.insert(std::next(m_names.begin(), long(position)), m_available[size_t(m_availableSel)]);
    m_ids.insert(std::next(m_ids.begin(), long(position)), std::to_string(++m_highestId));
    return true;
}

bool CProcessSelectDlg::AppendModule(const std::string& name, std::string& message) {
    const auto it = std::find(m_available.begin(), m_available.end(), name);
    if (it == m_available.end()) {
        message = "Unknown module \"" + ShortName(name) + "\"";
        return false;
    }
    m_availableSel = int(it - m_available.begin());
    m_moduleSel = int(m_names.size());
    if (OnInsert()) return true;
    message = "Too many modules in process (at most " + std::to_string(kModuleLimit) + ")";
    return false;
}

void CProcessSelectDlg::OnDelete() {
    if (m_moduleSel < 0 || size_t(m_moduleSel) >= m_names.size()) return; // "End" stays
    m_names.erase(std::next(m_names.begin(), m_moduleSel));
    m_ids.erase(std::next(m_ids.begin(), m_moduleSel));
}

void CProcessSelectDlg::OnClearAll() {
    m_names.clear();
    m_ids.clear();
    m_moduleSel = 0;
}

bool CProcessSelectDlg::OnOK(std::string& message) {
    std::optional<CProcessPlan> plan = m_app.ResolvePlan(m_names, m_ids, message);
    if (!plan) return false;
    m_plan = std::move(*plan);
    return true;
}
