#pragma once
// The application object: the open process documents, the module registry and plug-ins, the
// services the host hands over, the slice that drives every running document (run through
// CRunLoop), the recent-file list and the message box.

#include "base/Archive.h"
#include "process/AppServices.h"
#include "process/DspDoc.h"
#include "process/ModuleRegistry.h"
#include "process/ProcessPlan.h"
#include "ui/AppSettings.h"
#include "ui/MessageSink.h"

#include <array>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDspView;
class CProcessSelectDlg;

/** Hooks for a GUI that shows the documents; all optional. GUI thread. */
struct CAppHooks {
    std::function<void(CDspDoc*)> documentOpened;  // the document and its views exist
    std::function<void(CDspDoc*)> documentClosing; // about to be destroyed
    std::function<void(CDspView*)> calibrate;      // a sound card step's "Calibrate" button
    // A person answers the questions: only then may a process file offer to start a program
    // it names. Unattended hosts (the command line, tests) leave it false.
    bool userPresent = false;
};

class CDspApp {
public:
    static constexpr int kRecentFiles = 4;
    static constexpr const char* kDocName = "Aurivo";

    CDspApp(const CModuleRegistry& registry, IMessageSink& sink, const CAppServices& services);
    ~CDspApp();

    // Services.
    const CModuleRegistry& GetRegistry() const { return m_registry; }
    const CAppSettings& GetSettings() const { return m_settings; }
    /** Turns window amplitude correction on or off and records it in the settings store (saved
     *  with the store when the application ends). Runs take it from their next block on. */
    void SetWindowAmplitudeCorrection(bool on);
    /** Chooses the light plot theme (dark traces on white) or the dark one, and records it as
     *  above. Views take it at their next painting. */
    void SetLightPlots(bool on);
    IClock& GetClock() const { return m_clock; }
    /** The sound devices and the pump that delivers their completions. */
    CAudioServices& GetAudio() const { return m_audio; }
    /** The clipboard: the application's own in-memory one until a host supplies another. */
    IClipboard& GetClipboard() const { return m_pClipboard ? *m_pClipboard : m_memoryClipboard; }
    void SetClipboard(IClipboard* clipboard) { m_pClipboard = clipboard; }
    void SetFileDialog(IFileDialog* dialog) { m_pFileDialog = dialog; }
    IFileDialog* GetFileDialog() const { return m_pFileDialog; }
    CAppHooks& Hooks() { return m_hooks; }
    /** Shows a message in the application's box framed with the current document's title and
     *  the time; returns the result code. */
    int MessageBox(const std::string& message, unsigned style = MB_OK);
    /** Shows why a file could not be opened. The file has no document, so the box names none
     *  (another document's title would make it look like that one failed). */
    void ShowOpenError(const std::string& error);

    // Plug-ins.
    void AddPlugIn(const CPlugInModule& plugIn) { m_plugIns.push_back(plugIn); }
    const std::vector<CPlugInModule>& GetPlugIns() const { return m_plugIns; }
    bool m_plugInsEnabled = true;

    // Documents.
    const std::vector<std::unique_ptr<CDspDoc>>& GetDocuments() const { return m_documents; }
    CDspDoc* GetCurrentDocument() const { return m_pCurrentDoc; }
    void SetCurrentDocument(CDspDoc* doc) { m_pCurrentDoc = doc; }
    /** A new, empty process document (one plain view). */
    CDspDoc* OnFileNew();
    /** What a process is opened as: the user's, or the calibration dialog's own process
     *  (CDspDoc::IsCalibrationDocument), whatever the file is named. */
    enum class EOpenAs { UserProcess, CalibrationProcess };
    /** Opens a process file: the first reading learns its steps, the second reads every
     *  module's state into a document built with one view per step (a file without steps opens
     *  as an empty process). Null with a message naming the file when it cannot be read. */
    CDspDoc* OpenDocumentFile(const std::string& path, std::string& error,
                              EOpenAs as = EOpenAs::UserProcess);
    /** Closes the document after asking to save changes; false when the user cancelled. */
    bool OnFileClose(CDspDoc* doc);
    /** Destroys the document without asking. */
    void CloseDocument(CDspDoc* doc);

    // Editing.
    /** Edits the steps of `doc` through the editor (runDialog returns true for OK). The
     *  document is replaced by a rebuilt one, which is returned; null when cancelled. */
    CDspDoc* OnChangeProcessFlow(CDspDoc* doc,
                                 const std::function<bool(CProcessSelectDlg&)>& runDialog);
    /** Resolves step names to module classes and plug-in entries. None with a message naming
     *  the first step whose module is not available. */
    std::optional<CProcessPlan> ResolvePlan(const std::list<std::string>& names,
                                            const std::list<std::string>& ids,
                                            std::string& error) const;
    /** Built-in names, then plug-in names. */
    std::vector<std::string> GetAvailableModules() const;

    const std::string& GetSchema() const { return m_schema; }
    void SetSchema(const std::string& schema) { m_schema = schema; }

    std::array<CSize, 6> m_savedPaneSizes{};

    // Recent files.
    void AddToRecentFileList(const std::string& path);
    const std::deque<std::string>& GetRecentFiles() const { return m_recentFiles; }

private:
    friend class CRunLoop;
    /** Milliseconds a slice may wait for a device's descriptor while a step is pending. */
    static constexpr int kPendingWaitMs = 2;

    /** One slice of every document (CRunLoop runs it): device completions, then one step of
     *  each running document. True while some document runs and is not paused. */
    bool Slice();

    /** Sets a settings field and writes it to the store under its entry's key. */
    void StoreSetting(int CAppSettings::*field, int value);
    /** A document of the plan's steps, one view each (one plain view for no steps). */
    CDspDoc* CreateDocument(const CProcessPlan& plan = {});
    /** "Aurivo1", "Aurivo2", ... */
    std::string NewUntitledTitle();

    const CModuleRegistry& m_registry;
    IMessageSink& m_sink;
    IClock& m_clock;
    CAudioServices& m_audio;
    ISettingsStore* m_pSettingsStore;
    CAppSettings m_settings;
    IFileDialog* m_pFileDialog = nullptr;
    IClipboard* m_pClipboard = nullptr;
    mutable CMemoryClipboard m_memoryClipboard;
    CAppHooks m_hooks;
    std::vector<CPlugInModule> m_plugIns;
    std::vector<std::unique_ptr<CDspDoc>> m_documents;
    CDspDoc* m_pCurrentDoc = nullptr;
    std::string m_schema;
    std::deque<std::string> m_recentFiles;
    int m_untitledCount = 0;
    bool m_inSlice = false; // a slice is running (see Slice)
};
