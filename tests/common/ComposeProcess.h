#pragma once
// Composes a process through the process editor, as a user does: each module appended in turn,
// then OK. Null when a name is unknown, the editor refuses a step or the rebuild fails.

#include "process/DspApp.h"
#include "process/ProcessSelectDlg.h"

#include <string>
#include <vector>

inline CDspDoc* ComposeProcess(CDspApp& app, CDspDoc* doc, const std::vector<std::string>& names) {
    return app.OnChangeProcessFlow(doc, [&](CProcessSelectDlg& dlg) {
        std::string message;
        for (const std::string& name : names)
            if (!dlg.AppendModule(name, message)) return false;
        return dlg.OnOK(message);
    });
}
