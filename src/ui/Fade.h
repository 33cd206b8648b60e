#pragma once
// The fade-out of a closing window: its opacity falls from 255 in steps of 5 on a timer.

/** Timer period in milliseconds for a fade of `fadeTimeMs`: one tick per step of the 51 steps
 *  from 255 to 0 (integer division). 0 means no fade: the window closes at once. */
int FadeTimerPeriod(int fadeTimeMs);

/** The opacity after one timer tick, or -1 when the fade is over and the window goes. The fade
 *  ends when the opacity is below 5 or once the whole seconds since it started reach four
 *  times the fade time, a guard against a starved timer. */
int NextFadeOpacity(int opacity, long elapsedSeconds, int fadeTimeMs);
