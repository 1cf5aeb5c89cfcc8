#pragma once

#include "stats/statstext.h"

class QChart;

// The chart of a statistics view, drawn from the very cells of its table:
// counts, or the shares in percent beside them. Titles, axes and legends
// are in Indonesian; the fonts are those of the screen, large enough to
// read on paper too.
namespace pel::stats {

enum class Scale { Counts, Shares };

// A new chart of the table; the caller owns it.
QChart *makeChart(const Table &table, Scale scale);

} // namespace pel::stats
