#pragma once
#include <iosfwd>

/** Analyses a synthesized test tone and prints what the core measures. */
int RunDemo(std::ostream& out);
