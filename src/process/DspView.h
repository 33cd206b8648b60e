#pragma once
// The base of every module of a process: the run contract the document drives, the three block
// lists every module owns, its step number, error reporting, channel selection, the control
// model its control bar shows, the readouts its display shows, and its part of a process file.
// What it draws and how the mouse moves its markers is the plot it owns (plot/Plot.h).

#include "dsp/DSPFFTDataList.h"
#include "platform/Canvas.h"
#include "platform/Colour.h"
#include "base/Archive.h"
#include "plot/Plot.h"
#include "base/RuntimeClass.h"
#include "process/Readout.h"
#include "process/SettingRows.h"
#include "ui/ControlModel.h"

#include <array>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CDspDoc;
class IFrequencyCalibration;

/** The module status line: its text and colour. */
struct CStatusPane {
    std::string text;
    CColour colour;
};

/** One entry of a module's right-button menu; an empty id is a separator. */
struct CMenuEntry {
    std::string id;   // stable command id, such as "copyzma"
    std::string text; // as shown, with '&' before the mnemonic
    bool checked = false;
    bool enabled = true;
};

/** What a window system offers a view; null for a headless view. GUI thread. */
class IViewHost {
public:
    virtual ~IViewHost() = default;
    /** Asks for a repaint without erasing the background. */
    virtual void Invalidate() = 0;
    virtual bool IsVisible() const = 0;
};

class CDspView : public CObject {
    AURIVO_DECLARE_SERIAL(CDspView)
public:
    CDspView();
    ~CDspView() override;

    /** Attaches the view to its document; the document owns the view. */
    void SetDocument(CDspDoc* doc) { m_pDocument = doc; }
    CDspDoc* GetDocument() const { return m_pDocument; }
    void SetHost(IViewHost* host) { m_pHost = host; }
    /** Repaints through the host, if any. */
    void Invalidate();
    bool IsVisible() const { return m_pHost && m_pHost->IsVisible(); }

    // The run contract. Non-zero continues, 0 refuses or stops the run.
    /** What ProcessData answers while it waits for a device: the document stays on this step
     *  and asks again on the next slice, so no step ever waits inside itself and every command
     *  (Close, Quit, a process change) runs between slices. */
    static constexpr int kPending = -1;
    virtual bool OnInitialModuleSetup() { return true; }
    virtual int StartRun() { return 1; }
    virtual int ProcessData() { return 1; }
    virtual int EndRun() { return 1; }
    virtual void StopProcess();
    virtual void PauseProcess();
    virtual void RunProcess();
    // What a step offers the steps after it. A step asks the others by these, never by their
    // module name or class, so plug-ins can offer the same.
    /** True for a step that hands on the signal it sends as the document's reference list (a
     *  generator, a file player); the correlating transforms need one. */
    virtual bool PublishesReferenceSignal() const { return false; }
    /** The frequency calibration this step publishes; null for a step that publishes none. */
    virtual IFrequencyCalibration* GetPublishedFrequencyCalibration() { return nullptr; }
    /** Shows the text of the last system error (errno) as a module error; returns 1. */
    virtual short ShowThreadErrorMessage();
    /** Shows "Error Detected In\r\n" + step description + "\r\n" + text; returns 1. Silent in
     *  the calibration document. */
    virtual short ShowErrorMessage(const std::string& text);
    /** Refreshes the block lists from the step before (or creates them in step 1). Modules call
     *  this first, then apply their own settings. */
    virtual void ShowCurrentParams();
    /** Checks a clipboard element count against the block size (× channels); 0 refuses. */
    virtual int CheckClipboardAction(int count, int channels);
    virtual int CheckClipboardAction(int count);
    // Clipboard commands on the selected channel (or all) of the display list, or of the
    // working list while Shift is held. A refused paste restores the list.
    virtual void OnEditCut(bool shift);
    virtual void OnEditCopy(bool shift);
    virtual void OnEditPaste(bool shift);

    /** The status line at time `now`: step, module, the display list's format and the time,
     *  coloured by the run state when this step runs next. Empty without a document. */
    virtual CStatusPane UpdateStatusPane(std::time_t now, CColour windowTextColour) const;

    /** Creates the block lists in the document's shape (replacing lists of another size). */
    virtual void OnInitialUpdate();

    /** 1-based position among the document's steps; 0 when the view is not a step. */
    int GetProcessStepNumber() const;

    // Channel selection: 0 = all, 1 = channel 1, 2 = channel 2.
    int GetSelectedChannel() const { return m_selectedChannel; }
    void OnSelCh1() { SelectChannel(1); }
    void OnSelCh2() { SelectChannel(2); }
    void OnSelAll() { SelectChannel(0); }

    CDSPFFTDataList* GetWorkingList() const { return m_pWorkingList.get(); }
    /** The colours of the theme the view last painted with. */
    const CPlotColours& GetPlotColours() const { return m_plot.Colours(); }
    CDSPFFTDataList* GetDisplayList() const { return m_pDisplayList.get(); }
    CDSPFFTDataList* GetThirdList() const { return m_pThirdList.get(); }

    /** The controls of the module's control bar with their current states. */
    const CControlModel& GetControls() const { return m_controls; }
    /** A user's change of a control, by id or label, or of a setting by the id or label
     *  GetSettings lists: applies the text to the control's state, then lets the module act on
     *  it. `strict` is the command line's reading: numbers must be whole decimal numbers, and a
     *  value the module would refuse at the start of a run is refused now (the module's
     *  settings are then restored). False with a message when refused. */
    bool SetControl(const std::string& idOrLabel, const std::string& value, std::string& message,
                    bool strict = false);
    /** What the module's display shows as label/value pairs (empty for the base). */
    virtual std::vector<CReadoutValue> GetReadoutValues() const { return {}; }
    /** The readouts as the display draws them, one text each. */
    std::vector<std::string> GetReadouts() const;
    /** The module's stored settings: id, label and value as text, for inspection; SetControl
     *  takes each id or label with its value. */
    virtual std::vector<CSettingValue> GetSettings() const;
    /** The message StartRun would refuse the run with on the settings alone; empty when none. */
    virtual std::string CheckRunSettings() const { return {}; }
    /** What the step runs with that changes what the process delivers and that the user should
     *  know (a rate other than the process's); empty when there is nothing. Shown on the status
     *  line and by the command line's run. */
    virtual std::string GetRunWarning() const { return {}; }
    /** The module's own right-button menu; empty when it uses the common module menu. */
    virtual std::vector<CMenuEntry> GetContextMenu() const { return {}; }
    /** The menu of a view that plots response data: channel selection, then `extra` (a group
     *  of the view's own), the clipboard commands with the FRD and ZMA copies, run control, the
     *  process and FFT dialogs and printing. */
    std::vector<CMenuEntry> ResponsePlotMenu(const std::vector<CMenuEntry>& extra = {}) const;
    /** Runs a menu command by id; false when the module leaves it to the host (process editor,
     *  FFT options, printing) or does not know it. */
    virtual bool OnContextCommand(const std::string& /*id*/) { return false; }

    // Plot drawing (DspViewPlot.cpp). `rect` is the client area in pixels; modules draw their
    // plots after calling the base.
    virtual void OnDraw(ICanvas& canvas, const CRect& rect);
    /** The plot area: the client rectangle less the control bar and status bar. */
    virtual CRect GetScreenRect(const CRect& client) const { return m_plot.Area(client); }
    /** Heights in pixels of the control bar and status bar that the host lays out. */
    void SetBarHeights(int controlBar, int statusBar) {
        m_plot.SetBarHeights(controlBar, statusBar);
    }

    // Marker dragging (DspViewPlot.cpp) through the plot; positions in client pixels. Switching
    // a marker on stops the run, so the marker reads a block that stays.
    virtual void OnLButtonDown(CPoint point);
    virtual void OnMouseMove(CPoint point, bool leftButtonDown);
    virtual void OnLButtonUp(CPoint point);
    /** True while the view holds the mouse capture. */
    bool HasCapture() const { return m_plot.HasCapture(); }
    /** Plot channel `index` (0-based); null when the view has none. */
    CChannel* GetChannelPointer(int index) const { return m_plot.GetChannel(index); }
    /** Makes one plot channel per document channel when the view has none. */
    void CreateChannels();
    /** The single marker of a view without plot channels, and the rectangle it lives in. */
    const CPlotMarker& GetPlotMarker() const { return m_plot.Marker(); }
    void SetPlotRect(const CRect& rect) { m_plot.SetPlotRect(rect); }

    /** Writes or reads the CDspView record and the selected channel, then the module's record
     *  of its rows when it has Rows(). */
    void Serialize(CArchive& ar) override;
    /** The optional settings (rows stored apart from the record) that differ from their
     *  defaults; the document keeps them after the last step. */
    std::vector<COptionalSetting> GetOptionalSettings() const;
    /** Sets the optional settings to their defaults, then to `stored`, skipping those no row
     *  knows (a newer build's) unless they are needed; false with the reason otherwise. */
    bool ReadOptionalSettings(const std::vector<COptionalSetting>& stored, std::string& message);

protected:
    /** Called after a control's state changed by the user; the module stores the setting,
     *  refreshes and marks the document modified. False refuses (the caller restores nothing,
     *  so a module that refuses must restore the control state itself). The base hands the
     *  change to the row of the control and refreshes with SettingChanged. */
    virtual bool OnControlChanged(const std::string& id);
    /** Sets a listed setting that no control edits, from its listed text; false with the
     *  reason. The caller refreshes and marks the document modified. */
    virtual bool SetSetting(const std::string& id, const std::string& value, std::string& message);

    // The module's settings as rows (SettingRows.h): the base lists, sets, dispatches, shows
    // and stores them.
    /** The rows of the module's settings, bound to the view itself; null for a module that
     *  serialises its settings by itself. Serialize then writes the module's class record and
     *  the stored rows after the base's record. */
    virtual const ISettingRows* Rows() const { return nullptr; }
    /** Every row set of the module's settings in listing order: Rows() bound to the view. A
     *  module whose settings live in other objects (one per channel) returns those. */
    virtual std::vector<CRowSet> RowSets() const;
    /** After a user's change that a row accepted: the control states, the module's refresh
     *  (ShowCurrentParams) and the modified mark. */
    virtual void SettingChanged();
    /** After the stored rows were read from a process file: the control states. */
    virtual void SettingsLoaded() { UpdateControls(); }
    /** Adds the controls of a row set to the bar (all row sets without one). */
    void AddControls(const CRowSet& set);
    void AddControls();
    /** Every row's control state from the settings. */
    void UpdateControls();
    CControlModel& Controls() { return m_controls; }
    void SetModified();
    /** From OnControlChanged before it returns false: the reason SetControl gives. */
    void RefuseControl(const std::string& reason) { m_refusal = reason; }
    bool IsControlRefused() const { return !m_refusal.empty(); }

    // Shared with the document, which keeps the list a step handed on alive when the module
    // replaces its own (with clones of another shape, say) while the run goes on.
    std::shared_ptr<CDSPFFTDataList> m_pWorkingList;
    std::shared_ptr<CDSPFFTDataList> m_pDisplayList;
    std::shared_ptr<CDSPFFTDataList> m_pThirdList;
    std::string m_errorText = "Unknown Error";
    int m_selectedChannel = 0;
    /** The grid, plot channels, markers and mouse capture of what the module draws. */
    CPlot m_plot;

private:
    void SelectChannel(int channel);
    /** What the module writes into a process file now. */
    std::vector<uint8_t> StoredState();
    std::unique_ptr<CDSPFFTDataList> NewListInDocumentShape() const;

    CDspDoc* m_pDocument = nullptr;
    IViewHost* m_pHost = nullptr;
    CControlModel m_controls;
    std::string m_refusal; // why the change being applied was refused
    bool m_inControlChange = false;
    bool m_modifiedPending = false;
};
