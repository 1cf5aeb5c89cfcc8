#include "stats/statspicture.h"

#include "env/clock.h"
#include "reports/printing.h"
#include "db/result.h"
#include "db/filewriter.h"
#include "ui/messages.h"
#include "ui/printsheets.h"
#include "ui/surroundings.h"

#include <QBuffer>
#include <QChart>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>

namespace pel::stats {

namespace {

// The chart is laid out this many scene units wide, whatever it is drawn
// on: its fonts keep their size beside the chart on a screen, on paper and
// in a picture.
constexpr qreal ChartSceneWidth = 1000;

// The share of the first sheet's height the chart takes.
constexpr qreal ChartShare = 0.55;

void drawChart(QPainter &painter, const QRectF &target, const Figure &figure)
{
    QGraphicsScene scene;
    QChart *chart = makeChart(figure.table, figure.scale);
    scene.addItem(chart);
    const QRectF area(0, 0, ChartSceneWidth, ChartSceneWidth * target.height() / target.width());
    chart->setGeometry(area);
    scene.setSceneRect(area);
    scene.render(&painter, target, area);
}

QString figureText(const Figure &figure)
{
    return fixedWidthText(figure.table, figure.filter, systemDecimalPoint());
}

// The share of its size at which the text is drawn so that the widest line
// fits across: the glyphs shrink with the drawing, whatever the font's own
// rounding of small sizes.
qreal fittingScale(const QFont &font, const QStringList &lines, qreal width, QPaintDevice *device)
{
    const QFontMetricsF metrics(font, device);
    qreal widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest > width ? width / widest : 1.0;
}

// Draws lines from top down, scale times their size, starting a new sheet
// where one is full (when newSheet is given; it returns false when the
// device cannot go on). False when a sheet could not be begun.
bool drawLines(QPainter &painter, const QStringList &lines, const QPointF &origin, qreal scale, qreal sheetHeight,
               const std::function<bool()> &newSheet = {})
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal spacing = metrics.lineSpacing() * scale;
    qreal top = origin.y();
    for (const QString &line : lines) {
        if (newSheet && top + spacing > sheetHeight) {
            if (!newSheet())
                return false;
            top = 0;
        }
        painter.save();
        painter.translate(origin.x(), top);
        painter.scale(scale, scale);
        painter.drawText(QPointF(0, metrics.ascent()), line);
        painter.restore();
        top += spacing;
    }
    return true;
}

} // namespace

bool paintFigureSheets(QPagedPaintDevice &device, const Figure &figure)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF page(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    const QRectF chartArea(0, 0, page.width(), page.height() * ChartShare);
    drawChart(painter, chartArea, figure);

    const QStringList lines = print::reportLines(figureText(figure));
    painter.setFont(print::printFont());
    painter.setPen(Qt::black);
    const qreal scale = fittingScale(painter.font(), lines, page.width(), &device);
    const qreal gap = QFontMetricsF(painter.font(), &device).lineSpacing() * scale;
    if (!drawLines(painter, lines, QPointF(0, chartArea.bottom() + gap), scale, page.height(),
                   [&device] { return device.newPage(); })) {
        painter.end();
        return false;
    }
    return painter.end();
}

QImage figureImage(const Figure &figure)
{
    constexpr int Width = 1400;
    constexpr int Margin = 20;
    constexpr int ChartHeight = 760;
    // The picture has a screen's resolution; its text is measured on it.
    QImage probe(1, 1, QImage::Format_RGB32);
    const QStringList lines = print::reportLines(figureText(figure));
    QFont font = print::printFont();
    font.setPointSize(10);
    const qreal scale = fittingScale(font, lines, Width - 2 * Margin, &probe);
    const qreal spacing = QFontMetricsF(font, &probe).lineSpacing() * scale;
    const int height = int(Margin + ChartHeight + spacing * (lines.size() + 1) + Margin);

    QImage image(Width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawChart(painter, QRectF(Margin, Margin, Width - 2 * Margin, ChartHeight), figure);
    painter.setFont(font);
    painter.setPen(Qt::black);
    drawLines(painter, lines, QPointF(Margin, Margin + ChartHeight + spacing), scale, height);
    painter.end();
    return image;
}

db::Result writeFigure(const QString &path, const Figure &figure)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        QPdfWriter writer(&buffer);
        writer.setCreator(ui::ApplicationTitle);
        writer.setTitle(figure.table.title);
        const qreal margin = print::SheetMarginMm;
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter));
        if (!paintFigureSheets(writer, figure))
            return db::Result::failed(QStringLiteral("Dokumen PDF tidak dapat dibuat"));
    } else if (!figureImage(figure).save(&buffer, "PNG")) {
        return db::Result::failed(QStringLiteral("Gambar PNG tidak dapat dibuat"));
    }
    db::FileWriter file(path);
    db::Result written = file.open();
    if (written.ok())
        written = file.write(bytes);
    if (written.ok())
        written = file.commit();
    return written;
}

bool figureShown(const Figure *figure, QWidget *parent)
{
    if (figure)
        return true;
    ui::showMessage(QStringLiteral("Belum ada statistik yang ditampilkan."), QStringLiteral("Data Tidak Ada"),
                    ui::Icon::Critical, ui::Buttons::Ok, parent);
    return false;
}

QString saveFigure(const Figure *figure, const QString &viewName, QWidget *parent)
{
    const QString title = QStringLiteral("Simpan Gambar");
    if (!figureShown(figure, parent))
        return {};
    const QString proposed = QDir::current().filePath(
        QStringLiteral("Statistik %1 %2.png").arg(viewName, clock::today().toString(QStringLiteral("dd-MM-yyyy"))));
    QString path = ui::surroundings().pictureFileName(proposed, parent);
    if (path.isEmpty())
        return {};
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf"))
        path += QStringLiteral(".png");
    if (const db::Result written = writeFigure(path, *figure); !written.ok()) {
        ui::showFailure(QStringLiteral("Gambar tidak dapat disimpan:\r") + QDir::toNativeSeparators(path), written,
                        title, ui::Icon::Critical, parent);
        return {};
    }
    ui::showMessage(QStringLiteral("Gambar sudah disimpan:\r") + QDir::toNativeSeparators(path), title,
                    ui::Icon::Information, ui::Buttons::Ok, parent);
    return path;
}

bool printFigure(const Figure *figure, QWidget *parent)
{
    return reports::printDrawing(
        figure == nullptr, QPageLayout::Landscape,
        [figure](QPagedPaintDevice &device) { return paintFigureSheets(device, *figure); }, parent);
}

} // namespace pel::stats
