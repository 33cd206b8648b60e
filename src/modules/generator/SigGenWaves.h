#pragma once
// The periodic wave functions of the signal generator. Each reads the bar's phase (radians,
// 0 <= phase < 2 pi) and gives one sample between -1.0 and 1.0, or the wave's resting value
// while a single cycle or single shot has finished.

class CSigGenChanDlgBar;

double SineSample(const CSigGenChanDlgBar& bar);
double Sine180Sample(const CSigGenChanDlgBar& bar);
double CosineSample(const CSigGenChanDlgBar& bar);
double Cosine180Sample(const CSigGenChanDlgBar& bar);
double ACSquareSample(const CSigGenChanDlgBar& bar);
double ACSquare180Sample(const CSigGenChanDlgBar& bar);
double DCPosSquareSample(const CSigGenChanDlgBar& bar);
double DCPosSquare180Sample(const CSigGenChanDlgBar& bar);
double DCNegSquareSample(const CSigGenChanDlgBar& bar);
double DCNegSquare180Sample(const CSigGenChanDlgBar& bar);
double TriangleSample(const CSigGenChanDlgBar& bar);
double Triangle180Sample(const CSigGenChanDlgBar& bar);
double UpRampSample(const CSigGenChanDlgBar& bar);
double UpRamp180Sample(const CSigGenChanDlgBar& bar);
double DownRampSample(const CSigGenChanDlgBar& bar);
double DownRamp180Sample(const CSigGenChanDlgBar& bar);
// Pulse waves: inside the pulse while 2 pi start / period <= phase < 2 pi stop / period.
double ACPulseSample(const CSigGenChanDlgBar& bar);
double ACPulse180Sample(const CSigGenChanDlgBar& bar);
double DCPosPulseSample(const CSigGenChanDlgBar& bar);
double DCPosPulse180Sample(const CSigGenChanDlgBar& bar);
double DCNegPulseSample(const CSigGenChanDlgBar& bar);
double DCNegPulse180Sample(const CSigGenChanDlgBar& bar);
/** Uniform white noise from the bar's 15-bit generator (advanced by one draw). */
double WhiteSample(CSigGenChanDlgBar& bar);

/** The sample of any wave type from Sine to White (0..22); 0.0 for other types. */
double PeriodicSample(CSigGenChanDlgBar& bar);
