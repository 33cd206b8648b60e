#pragma once
// The one-line status bar of a module view: its text and its colour.

#include "platform/Colour.h"

#include <ctime>
#include <string>

/** processDesc + " " + "Data Type:%d FFT Size:%d Sample Rate:%6.0f  " + the local time as
 *  "%H:%M:%S %d %b %y". */
std::string FormatStatusText(const std::string& processDesc, int blockType, int blockSize,
                             double sampleRate, std::time_t now);

/** The number whose digits follow "Step: " in a status text; 0 when no digit follows it or the
 *  number does not fit an int. */
int StatusStepFromText(const std::string& text);

inline constexpr CColour kStatusPausedColour{255, 0, 0};
inline constexpr CColour kStatusRunningColour{0, 255, 0};
inline constexpr CColour kStatusIdleCustomColour{0, 0, 204};

/** The text colour of a status line. Only the step the document processes next is coloured
 *  by the run state: red when paused, green when running. Every other step, and that one
 *  while idle, shows the idle colour: blue with the custom module text colour on, else the
 *  window text colour. A text without a step number is never the current step. */
CColour StatusColour(const std::string& text, int currentStep, bool running, bool paused,
                     bool customTextColour, CColour windowTextColour);
