#pragma once
// One generic widget for every module's control bar: it renders the module's control model and
// hands each user change to the module by control id.

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CDspView;

class CControlBarWidget final : public QWidget {
    Q_OBJECT
public:
    /** `refused` shows a module's refusal of a change. */
    CControlBarWidget(CDspView& view, std::function<void(const std::string&)> refused,
                      QWidget* parent = nullptr);

    /** Re-reads every control's state from the module (texts, selections, enabled, checked). */
    void Refresh();

signals:
    /** A control was changed by the user and the module accepted it. */
    void Changed();

private:
    void Build();
    void Apply(const std::string& id, const std::string& value);

    CDspView& m_view;
    std::function<void(const std::string&)> m_refused;
    std::vector<QWidget*> m_widgets; // one per control, in model order
    bool m_refreshing = false;
};
