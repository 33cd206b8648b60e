#pragma once
// The process editor ("Process Select") as a model: the available modules, the step list being
// composed with its identities, and the Insert / Delete / Clear All / OK rules.

#include "process/ProcessPlan.h"

#include <list>
#include <string>
#include <vector>

class CDspApp;

class CProcessSelectDlg {
public:
    static constexpr int kModuleLimit = 6;
    static constexpr const char* kEndMarker = "End";

    /** Starts from the steps of the process being edited (none for a new one). */
    explicit CProcessSelectDlg(CDspApp& app, std::list<std::string> names = {},
                               std::list<std::string> ids = {});

    /** Built-in names in registry order, then the plug-in names. */
    const std::vector<std::string>& GetAvailable() const { return m_available; }
    /** The step names followed by "End". */
    std::vector<std::string> GetModuleList() const;
    const std::list<std::string>& GetNames() const { return m_names; }
    const std::list<std::string>& GetIdentities() const { return m_ids; }
    int GetHighestIdentity() const { return m_highestId; }

    int m_availableSel = 0; // selected entry of "Available Modules:"
    int m_moduleSel = 0;    // selected entry of "Module List:"

    /** "Insert" (also a double click on an available module). False when refused: the limit
     *  was reached ("Too many modules in process" is shown) or nothing is selected. */
    bool OnInsert();
    /** Selects the available module of that name and "End", then inserts it: the step is
     *  appended. False with a message for an unknown name or a full process. */
    bool AppendModule(const std::string& name, std::string& message);
    void OnDelete();
    void OnClearAll();
    /** "OK": resolves the names to classes into the plan. False with a message when a name
     *  matches no module. */
    bool OnOK(std::string& message);
    /** What OK resolved: the steps the edited document is built from. */
    const CProcessPlan& GetPlan() const { return m_plan; }

private:
    CDspApp& m_app;
    std::vector<std::string> m_available;
    std::list<std::string> m_names;
    std::list<std::string> m_ids;
    int m_highestId = 0;
    CProcessPlan m_plan;
};
