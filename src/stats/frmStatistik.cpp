#include "stats/frmStatistik.h"

#include "common/module1.h"
#include "db/result.h"
#include "grades/classgradestore.h"
#include "stats/statsmodel.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/screens.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace pel {

namespace {

const QString AllValues = QStringLiteral("(Semua)");
const QString Pesan = QStringLiteral("Pesan");

struct PageNames
{
    stats::View view;
    const char *page;
    const char *chart;
    const char *grid;
    const char *caption; // with its underlined letter
};

const PageNames Pages[] = {
    {stats::View::Subjects, "tabMatpel", "chtMatpel", "dgMatpel", "&Mata pelajaran"},
    {stats::View::Ipk, "tabIpk", "chtIpk", "dgIpk", "&IPK"},
    {stats::View::Intake, "tabPenerimaan", "chtPenerimaan", "dgPenerimaan", "&Penerimaan"},
    {stats::View::Instructors, "tabInstruktur", "chtInstruktur", "dgInstruktur", "I&nstruktur"},
};

// A box's caption, whose underlined letter moves the focus into the box.
QLabel *buddyLabel(const char *name, const QString &text, QWidget *box, QWidget *parent)
{
    auto *label = ui::named<QLabel>(QLatin1String(name), parent, text);
    label->setBuddy(box);
    return label;
}

} // namespace

frmStatistik::frmStatistik(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmStatistik"));
    setWindowTitle(QStringLiteral("Statistik Nilai"));
    buildControls();
    wireControls();
    fillLists();
    // The first view is computed at once, with every row counted.
    QTimer::singleShot(0, this, [this] { showCurrentView(); });
}

frmStatistik::~frmStatistik()
{
    stopWorker();
}

void frmStatistik::buildControls()
{
    LblJudul = ui::named<QLabel>(QStringLiteral("LblJudul"), this, QStringLiteral("STATISTIK NILAI"));
    QFont titleFont = LblJudul->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 4);
    LblJudul->setFont(titleFont);

    frSaring = ui::named<QGroupBox>(QStringLiteral("frSaring"), this, QStringLiteral("[ Saring ]"));
    cmbProgram = ui::named<QComboBox>(QStringLiteral("cmbProgram"), frSaring);
    cmbLevel = ui::named<QComboBox>(QStringLiteral("cmbLevel"), frSaring);
    MstglDari = ui::named<ui::DateBox>(QStringLiteral("MstglDari"), frSaring);
    MstglSampai = ui::named<ui::DateBox>(QStringLiteral("MstglSampai"), frSaring);
    cmbSkala = ui::named<QComboBox>(QStringLiteral("cmbSkala"), frSaring);
    cmbSkala->addItems({QStringLiteral("Jumlah"), QStringLiteral("Persen")});
    cmdTampil = ui::named<QPushButton>(QStringLiteral("cmdTampil"), frSaring, QStringLiteral("&Tampilkan"));
    for (QComboBox *combo : {cmbProgram, cmbLevel})
        combo->setMinimumContentsLength(16);
    auto *filters = new QGridLayout(frSaring);
    filters->addWidget(buddyLabel("lblProgram", QStringLiteral("P&rogram"), cmbProgram, frSaring), 0, 0);
    filters->addWidget(cmbProgram, 0, 1);
    filters->addWidget(buddyLabel("lblLevel", QStringLiteral("L&evel"), cmbLevel, frSaring), 0, 2);
    filters->addWidget(cmbLevel, 0, 3);
    filters->addWidget(buddyLabel("lblDari", QStringLiteral("&Dari tanggal"), MstglDari, frSaring), 1, 0);
    filters->addWidget(MstglDari, 1, 1);
    filters->addWidget(buddyLabel("lblSampai", QStringLiteral("&Sampai tanggal"), MstglSampai, frSaring), 1, 2);
    filters->addWidget(MstglSampai, 1, 3);
    filters->addWidget(cmdTampil, 0, 4);
    filters->addWidget(buddyLabel("lblSkala", QStringLiteral("Grafik se&bagai"), cmbSkala, frSaring), 1, 4);
    filters->addWidget(cmbSkala, 1, 5);

    tabStatistik = ui::named<QTabWidget>(QStringLiteral("tabStatistik"), this);
    for (const PageNames &names : Pages) {
        Page page;
        page.view = names.view;
        page.page = ui::named<QWidget>(QLatin1String(names.page), tabStatistik);
        page.chart = ui::named<QChartView>(QLatin1String(names.chart), page.page);
        page.chart->setRenderHint(QPainter::Antialiasing);
        page.chart->setMinimumHeight(260);
        page.grid = ui::named<QTableView>(QLatin1String(names.grid), page.page);
        page.model = new stats::TableModel(page.grid);
        page.grid->setModel(page.model);
        page.grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        page.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        page.grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        page.grid->verticalHeader()->setDefaultSectionSize(page.grid->fontMetrics().height() + 6);
        auto *layout = new QVBoxLayout(page.page);
        layout->addWidget(page.chart, 3);
        layout->addWidget(page.grid, 2);
        tabStatistik->addTab(page.page, QString::fromUtf8(names.caption));
        m_pages << page;
    }

    lblProses = ui::named<QLabel>(QStringLiteral("lblProses"), this, QStringLiteral("Sedang menghitung statistik..."));
    prgProses = ui::named<QProgressBar>(QStringLiteral("prgProses"), this);
    // The time a view takes is not known beforehand: the bar only moves.
    prgProses->setRange(0, 0);
    lblProses->hide();
    prgProses->hide();
    TimerProses = ui::named<QTimer>(QStringLiteral("TimerProses"), this);
    TimerProses->setSingleShot(true);
    TimerProses->setInterval(ProgressDelayMs);

    cmdSimpanGambar = ui::named<QPushButton>(QStringLiteral("cmdSimpanGambar"), this, QStringLiteral("Simpan &Gambar"));
    cmdCetak = ui::named<QPushButton>(QStringLiteral("cmdCetak"), this, QStringLiteral("&Cetak"));
    cmdSalin = ui::named<QPushButton>(QStringLiteral("cmdSalin"), this, QStringLiteral("Sa&lin"));
    cmdKeluar = ui::named<QPushButton>(QStringLiteral("cmdKeluar"), this, QStringLiteral("&Keluar"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblProses);
    buttons->addWidget(prgProses, 1);
    buttons->addStretch();
    for (QPushButton *button : {cmdSimpanGambar, cmdCetak, cmdSalin, cmdKeluar}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    cmdTampil->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LblJudul);
    auto *line = ui::named<QFrame>(QStringLiteral("Line1"), this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    layout->addWidget(frSaring);
    layout->addWidget(tabStatistik, 1);
    layout->addLayout(buttons);
    resize(1000, 720);

    const QList<QWidget *> tabOrder{cmbProgram, cmbLevel, MstglDari, MstglSampai, cmdTampil, cmbSkala,
                                    tabStatistik, cmdSimpanGambar, cmdCetak, cmdSalin, cmdKeluar};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
}

void frmStatistik::wireControls()
{
    ui::onEnter(cmbProgram, [this] { ui::moveFocus(cmbLevel); });
    ui::onEnter(cmbLevel, [this] { ui::focusAndSelect(MstglDari); });
    ui::onEnter(MstglDari, [this] { ui::focusAndSelect(MstglSampai); });
    ui::onEnter(MstglSampai, [this] { cmdTampil_Click(); });
    ui::pressOnEnterAll(this);
    connect(cmdTampil, &QPushButton::clicked, this, &frmStatistik::cmdTampil_Click);
    connect(cmdSimpanGambar, &QPushButton::clicked, this, &frmStatistik::cmdSimpanGambar_Click);
    connect(cmdCetak, &QPushButton::clicked, this, &frmStatistik::cmdCetak_Click);
    connect(cmdSalin, &QPushButton::clicked, this, &frmStatistik::cmdSalin_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &frmStatistik::cmdKeluar_Click);
    connect(tabStatistik, &QTabWidget::currentChanged, this, &frmStatistik::tabStatistik_Change);
    connect(cmbSkala, &QComboBox::currentIndexChanged, this, &frmStatistik::cmbSkala_Change);
    connect(TimerProses, &QTimer::timeout, this, [this] {
        lblProses->setVisible(isBusy());
        prgProses->setVisible(isBusy());
    });
}

void frmStatistik::fillLists()
{
    for (auto [combo, load] : {std::pair{cmbProgram, &grades::StoredProgrammes},
                               std::pair{cmbLevel, &grades::StoredLevels}}) {
        QStringList values;
        if (const db::Result result = load(dbConnection, &values); !result.ok())
            ui::showFailure(QStringLiteral("Daftar program dan level tidak dapat dibaca:"), result,
                            QStringLiteral("Kesalahan Database"), ui::Icon::Critical, this);
        combo->clear();
        combo->addItem(AllValues, QString());
        for (const QString &value : values)
            combo->addItem(value, value);
    }
}

frmStatistik::Page &frmStatistik::currentPage()
{
    return m_pages[qBound(0, tabStatistik->currentIndex(), int(m_pages.size()) - 1)];
}

stats::Scale frmStatistik::scale() const
{
    return cmbSkala->currentIndex() == 1 ? stats::Scale::Shares : stats::Scale::Counts;
}

const stats::Figure *frmStatistik::figure(stats::View view) const
{
    for (const Page &page : m_pages)
        if (page.view == view && page.figure)
            return &*page.figure;
    return nullptr;
}

bool frmStatistik::readFilter(stats::Filter *filter)
{
    for (ui::DateBox *box : {MstglDari, MstglSampai}) {
        QDate date;
        if (!box->readDate(&date)) {
            ui::showMessage(QStringLiteral("Tanggal tidak valid, isikan dd-mm-yyyy atau kosongkan !"), Pesan,
                            ui::Icon::Critical, ui::Buttons::Ok, this);
            ui::focusAndSelect(box);
            return false;
        }
        (box == MstglDari ? filter->from : filter->to) = date;
    }
    if (filter->from.isValid() && filter->to.isValid() && filter->from > filter->to) {
        ui::showMessage(QStringLiteral("Tanggal awal jatuh sesudah tanggal akhir !"), Pesan, ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::focusAndSelect(MstglDari);
        return false;
    }
    filter->programme = cmbProgram->currentData().toString();
    filter->level = cmbLevel->currentData().toString();
    return true;
}

void frmStatistik::cmdTampil_Click()
{
    stats::Filter filter;
    if (!readFilter(&filter))
        return;
    m_filter = filter;
    for (Page &page : m_pages)
        page.current = false;
    // A view under way with the old filter is left to finish; the current
    // page is computed again after it.
    showCurrentView();
}

void frmStatistik::tabStatistik_Change()
{
    showCurrentView();
}

void frmStatistik::showCurrentView()
{
    Page &page = currentPage();
    if (page.current || isBusy())
        return;
    startView(page.view);
}

void frmStatistik::startView(stats::View view)
{
    // The thread opens the same database under a connection of its own.
    db::DatabaseTarget target = ChosenDatabase;
    if (!target.isPostgres() && !dbConnection.filePath().isEmpty())
        target.filePath = dbConnection.filePath();
    struct Outcome
    {
        db::Result result;
        stats::Table table;
    };
    auto outcome = std::make_shared<Outcome>();
    m_cancel = std::make_shared<std::atomic_bool>(false);
    const stats::Filter filter = m_filter;
    QThread *thread = QThread::create([target, filter, view, outcome, cancel = m_cancel] {
        db::Connection conn;
        if (const db::Result opened = conn.open(target); !opened.ok()) {
            outcome->result = opened;
            return;
        }
        outcome->result = stats::readView(conn, view, filter, &outcome->table, cancel.get());
    });
    m_worker = thread;
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, thread, view, filter, outcome] {
        // A thread stopped by the closing screen has nothing to show.
        if (m_worker != thread)
            return;
        m_worker = nullptr;
        TimerProses->stop();
        lblProses->hide();
        prgProses->hide();
        viewReady(view, filter, outcome->result, outcome->table);
    });
    thread->start();
    TimerProses->start();
}

void frmStatistik::viewReady(stats::View view, const stats::Filter &filter, const db::Result &result,
                             const stats::Table &table)
{
    for (Page &page : m_pages) {
        if (page.view != view)
            continue;
        if (!result.ok()) {
            ui::showFailure(QStringLiteral("Statistik tidak dapat dihitung:"), result,
                            QStringLiteral("Kesalahan Database"), ui::Icon::Critical, this);
            break;
        }
        // Computed with a filter that has since changed, the view is shown
        // until the new figures come.
        page.current = filter == m_filter;
        page.figure = stats::Figure{table, filter, scale()};
        page.model->setTable(table);
        page.grid->resizeColumnsToContents();
        drawChart(page);
    }
    emit viewFinished();
    // A failed view is computed again when the operator asks for it.
    if (result.ok())
        showCurrentView();
}

void frmStatistik::drawChart(Page &page)
{
    if (!page.figure)
        return;
    page.figure->scale = scale();
    QChart *old = page.chart->chart();
    page.chart->setChart(stats::makeChart(page.figure->table, page.figure->scale));
    delete old;
}

void frmStatistik::cmbSkala_Change()
{
    for (Page &page : m_pages)
        drawChart(page);
}

void frmStatistik::cmdSimpanGambar_Click()
{
    const Page &page = currentPage();
    stats::saveFigure(page.figure ? &*page.figure : nullptr, stats::viewCaption(page.view), this);
}

void frmStatistik::cmdCetak_Click()
{
    const Page &page = currentPage();
    stats::printFigure(page.figure ? &*page.figure : nullptr, this);
}

void frmStatistik::cmdSalin_Click()
{
    const Page &page = currentPage();
    if (stats::figureShown(page.figure ? &*page.figure : nullptr, this))
        QGuiApplication::clipboard()->setText(stats::tabSeparatedText(page.figure->table, stats::systemDecimalPoint()));
}

void frmStatistik::cmdKeluar_Click()
{
    ui::closeAndShowMainWindow(this);
}

void frmStatistik::stopWorker()
{
    if (!m_worker)
        return;
    // The counting stops at its next look; a statement under way on a
    // server ends first. The thread goes once it has ended.
    m_cancel->store(true);
    m_worker->wait();
    m_worker = nullptr;
    TimerProses->stop();
}

void frmStatistik::closeEvent(QCloseEvent *event)
{
    stopWorker();
    QWidget::closeEvent(event);
}

} // namespace pel
