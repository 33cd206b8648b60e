#pragma once
// The application's own settings, typed, with their store names and defaults.

#include <string>
#include <vector>

class ISettingsStore;

struct CAppSettings {
    // Defaults are those of a fresh installation.
    int enableCustomMenus = 1;                 // owner-drawn menus
    int enableCustomToolbar = 1;               // the custom tool bar instead of the standard one
    int enableCustomBackgroundBitmaps = 1;     // bitmap backgrounds in module views and bars
    int enableApplicationBackgroundBitmap = 1; // bitmap background of the main window
    int enableCustomModuleTextColor = 1;       // custom text colour in module controls
    int enableFadeWindows = 1;                 // fade effect when dialogs and frames close
    int timeToFade = 500;                      // fade duration, milliseconds
    int enableSoundsInMessageBox = 1;          // sounds in message boxes
    int previewPages = 0;                      // print preview page setting
    int windowAmplitudeCorrection = 1;         // windowed spectra read true tone amplitudes
    int enablePlugIns = 1;                     // load plug-in libraries and offer their modules
    int lightPlots = 0;                        // plots dark on white instead of light on black
    // The data logger's limits: a run stops before the log passes either of them. The log's
    // data log file takes about twice its bytes, and reading it back both together.
    int dataLogMaxPlots = 1000;
    int dataLogMaxMegabytes = 512;

    /** Where one field lives in the store, and the values it accepts. */
    struct CEntry {
        const char* section;
        const char* key;
        int CAppSettings::*field;
        int minimum = 0;
        int maximum = 1;
    };
    /** Every field, "Themes" entries first. */
    static const std::vector<CEntry>& Entries();

    /** Reads every field; a missing or unreadable value, or one outside the entry's range,
     *  gives its default. */
    void Read(const ISettingsStore& store);
    /** Writes back the "Themes" fields, the ones the themes dialog edits, that differ from
     *  what the store gives for them; "Settings" fields changed while the program runs are
     *  written where they are changed. Does not save the store. */
    void WriteThemes(ISettingsStore& store) const;

    /** Fade duration for a closing window: the fade time when fading is on, else 0. */
    int FadeTime() const { return enableFadeWindows ? timeToFade : 0; }
};

/** The system sound a message box plays when it opens: "Sounds"/"SystemDefault" (default
 *  ",Default") without trailing commas; empty when message box sounds are off. */
std::string MessageBoxSoundName(const CAppSettings& settings, const ISettingsStore& store);
