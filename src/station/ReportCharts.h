#pragma once
// The pictures of a results report, each a complete SVG document: an item's histogram with its
// limits, the checked curves of an item laid over each other with their masks, and the
// failures per item in Pareto order.

#include "station/CheckResult.h"
#include "station/ResultsStore.h"

#include <string>
#include <vector>

/** Bars of counts[k] over [edges[k], edges[k + 1]) with the item's limits as vertical lines;
 *  the x axis reaches the limits. */
std::string HistogramSvg(const CItemStatistics& item, const std::vector<double>& edges,
                         const std::vector<int64_t>& counts);

/** The curves over a logarithmic frequency axis, and the upper and lower masks of the last. */
std::string CurvesSvg(const std::vector<const CCheckedCurve*>& curves);

/** A bar per item that failed, most failures first (the order the items come in). */
std::string ParetoSvg(const std::vector<CItemStatistics>& items);
