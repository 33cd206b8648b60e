#pragma once
// What the application reaches of the machine, handed over by the host in one value: its clock,
// sound devices, settings store, clipboard and file dialogs. The host owns them all and keeps
// them alive as long as the application; nothing here is global, so two applications (a test
// beside another, the command line's session) never share a device or a clock by accident.

#include "platform/AudioServices.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/FileDialog.h"
#include "platform/SettingsStore.h"

struct CAppServices {
    IClock& clock;
    CAudioServices& audio;
    ISettingsStore* settings = nullptr; // null: nothing is read or written
    IClipboard* clipboard = nullptr;    // null: the application's own in-memory clipboard
    IFileDialog* fileDialog = nullptr;  // null: no one to ask for a file
};
