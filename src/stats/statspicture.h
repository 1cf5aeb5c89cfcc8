#pragma once

#include "db/result.h"

#include "stats/statscharts.h"
#include "stats/statstext.h"

#include <QImage>
#include <QString>

#include <optional>

class QPagedPaintDevice;
class QWidget;

// A statistics view on paper and in files: its chart over its table, as the
// screen shows them. "Simpan Gambar" writes a PNG picture or a PDF document
// through the report file writer (a temporary file put in place when
// complete); "Cetak" goes through the report screen's print path.
namespace pel::stats {

// A view as it was computed and is shown.
struct Figure
{
    Table table;
    Filter filter;
    Scale scale = Scale::Counts;
};

// Draws the figure on the sheets of device, in its page layout: the chart
// over the upper part of the first sheet, the table's fixed-width lines
// under it and on further sheets where they do not fit. False when the
// device cannot be painted on.
bool paintFigureSheets(QPagedPaintDevice &device, const Figure &figure);

// The figure as one picture, the chart over the table, on white.
QImage figureImage(const Figure &figure);

// Writes the figure to path: a PDF document (A4, landscape) when the path
// ends in ".pdf", letter case ignored, a PNG picture otherwise, through the
// file writer; on a failure the file at path is left as it was.
db::Result writeFigure(const QString &path, const Figure &figure);

// True when there is a figure; otherwise says that no view is shown yet.
bool figureShown(const Figure *figure, QWidget *parent);

// "Simpan Gambar": asks for the file (proposing "Statistik <view>
// <dd-mm-yyyy>.png" in the current folder), writes it and says where, or
// why not. figure is null while nothing is shown. The file written, or an
// empty string.
QString saveFigure(const Figure *figure, const QString &viewName, QWidget *parent);

// "Cetak": prints the figure on landscape sheets through the report
// screen's print path. True when it went to the printer.
bool printFigure(const Figure *figure, QWidget *parent);

} // namespace pel::stats
