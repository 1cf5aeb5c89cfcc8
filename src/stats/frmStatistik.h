#pragma once

#include "stats/statspicture.h"

#include <QList>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>

class QChartView;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QThread;
class QTimer;

namespace pel {

namespace ui {
class DateBox;
}
namespace stats {
class TableModel;
}

// "Statistik Nilai": four views of the grades for a head of the institution,
// each a chart over a table of the same numbers (by subject, the IPK by
// programme and level, the intake by month, by instructor), narrowed by
// programme, level and a period. A view is computed on a thread of its own
// with a connection of its own to the same database, so the screen keeps
// answering; a bar shows once it takes longer than a moment. Its figures are
// those of the tool's "stats" command.
class frmStatistik : public QWidget
{
    Q_OBJECT
public:
    explicit frmStatistik(QWidget *parent = nullptr);
    ~frmStatistik() override;

    // The figure a view shows, or nullptr while it has none.
    const stats::Figure *figure(stats::View view) const;
    // True while a view is being computed.
    bool isBusy() const { return m_worker != nullptr; }

    // Handlers, named after their control and event.
    void cmdTampil_Click();
    void cmdSimpanGambar_Click();
    void cmdCetak_Click();
    void cmdSalin_Click();
    void cmdKeluar_Click();
    void tabStatistik_Change();
    void cmbSkala_Change();

    // How long a view may take before the bar shows.
    static constexpr int ProgressDelayMs = 400;

protected:
    void closeEvent(QCloseEvent *event) override;

signals:
    // A view's figures are shown (or its failure was).
    void viewFinished();

private:
    struct Page
    {
        stats::View view;
        QWidget *page = nullptr;
        QChartView *chart = nullptr;
        QTableView *grid = nullptr;
        stats::TableModel *model = nullptr;
        std::optional<stats::Figure> figure;
        bool current = false; // figure computed with the filter in force
    };

    void buildControls();
    void wireControls();
    void fillLists();
    Page &currentPage();
    stats::Scale scale() const;
    // Reads the filter boxes; false after a message when a date is not one.
    bool readFilter(stats::Filter *filter);
    // Computes the current page's view unless it is current or under way.
    void showCurrentView();
    void startView(stats::View view);
    void viewReady(stats::View view, const stats::Filter &filter, const db::Result &result, const stats::Table &table);
    void drawChart(Page &page);
    void stopWorker();

    QLabel *LblJudul = nullptr;
    QGroupBox *frSaring = nullptr;
    QComboBox *cmbProgram = nullptr;
    QComboBox *cmbLevel = nullptr;
    ui::DateBox *MstglDari = nullptr;
    ui::DateBox *MstglSampai = nullptr;
    QComboBox *cmbSkala = nullptr;
    QPushButton *cmdTampil = nullptr;
    QTabWidget *tabStatistik = nullptr;
    QLabel *lblProses = nullptr;
    QProgressBar *prgProses = nullptr;
    QPushButton *cmdSimpanGambar = nullptr;
    QPushButton *cmdCetak = nullptr;
    QPushButton *cmdSalin = nullptr;
    QPushButton *cmdKeluar = nullptr;
    QTimer *TimerProses = nullptr;

    QList<Page> m_pages;
    stats::Filter m_filter; // the filter in force
    QThread *m_worker = nullptr;
    std::shared_ptr<std::atomic_bool> m_cancel;
};

} // namespace pel
