#pragma once
// One generic widget for every module's control bar: it renders the module's control model and
// hands each user change to the module by control id. Controls of one group share a titled
// unit; a value with its "Dn"/"Up" pair reads as one control; the units flow into as many rows
// as the bar's width needs.

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CControlModel;
class CDspView;
class QLabel;

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
    /** A user's change is about to be handed to the module. */
    void Applying();

private:
    void Build();
    /** The number of controls the unit starting at `first` takes (1 to 3). */
    size_t UnitLength(const CControlModel& model, size_t first, size_t last) const;
    /** One control, or a value with its pair, or an entry with its unit text, side by side. */
    QWidget* MakeUnit(size_t first, size_t length, const QString& groupTitle, QWidget* parent);
    QWidget* MakeControl(size_t index, QWidget* parent);
    void Apply(const std::string& id, const std::string& value);
    /** Lays the bar out anew at once around a control whose text outgrew its place. */
    void Widen(QWidget* control);

    CDspView& m_view;
    std::function<void(const std::string&)> m_refused;
    std::vector<QWidget*> m_widgets; // one per control, in model order
    std::vector<QLabel*> m_labels;   // each control's caption, or null
    bool m_refreshing = false;
};
