#include "grades/frmnilaikelas.h"

#include "db/result.h"
#include "env/clock.h"
#include "common/module1.h"
#include "grades/classgrademodel.h"
#include "grades/classgradestore.h"
#include "grades/gradenumbers.h"
#include "ui/boxes.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/letterhead.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/screens.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <functional>

namespace pel {

using grades::ClassGradeModel;

namespace {

const QString Pesan = QStringLiteral("Pesan");
const QString SalahProses = QStringLiteral("SALAH PROSES, Isikan dengan benar");
const QString AllValues = QStringLiteral("(Semua)");
// The score a cell held when its editor opened.
const char *const ScoreBefore = "scoreBefore";

// The question before unsaved scores are let go: the state on one line, the
// question on the next, its "?" kept on the line of its last word.
QString unsavedScoresQuestion(const QString &action)
{
    return QStringLiteral("Nilai yang diubah belum disimpan.\r%1 tanpa menyimpan\u00a0?").arg(action);
}

void addRow(QGridLayout *grid, const QString &label, QWidget *box)
{
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(new QLabel(QStringLiteral(":")), row, 1);
    grid->addWidget(box, row, 2);
}

// The score cells: each key typed reaches the model at once, so that the
// derived cells follow the score as it is typed; a score that cannot be
// saved is shown on red.
class ScoreDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *box = qobject_cast<QLineEdit *>(editor)) {
            // Escape puts this back, since each key already reached the model.
            box->setProperty(ScoreBefore, index.data(Qt::EditRole));
            auto *self = const_cast<ScoreDelegate *>(this);
            connect(box, &QLineEdit::textEdited, self, [self, box] { emit self->commitData(box); });
        }
        return editor;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(ClassGradeModel::InvalidRole).toBool()) {
            option->backgroundBrush = QColor(255, 190, 190);
            option->palette.setColor(QPalette::Text, Qt::darkRed);
        }
    }
};

// The grid: Enter, in a score being typed or on a cell, goes down the score
// column; the paste key hands the clipboard to the screen.
class ScoreGrid : public QTableView
{
public:
    using QTableView::QTableView;
    std::function<void()> paste;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (ui::isEnter(event) && state() != EditingState) {
            moveDown();
            return;
        }
        if (event->matches(QKeySequence::Paste) && paste) {
            paste();
            return;
        }
        QTableView::keyPressEvent(event);
    }

    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (hint == QAbstractItemDelegate::RevertModelCache && editor && model())
            model()->setData(currentIndex(), editor->property(ScoreBefore));
        QTableView::closeEditor(editor, hint);
        // The delegate ends an edit by Enter with this hint.
        if (hint == QAbstractItemDelegate::SubmitModelCache)
            moveDown();
    }

private:
    void moveDown()
    {
        const int row = currentIndex().row() + 1;
        if (model() && row < model()->rowCount())
            setCurrentIndex(model()->index(row, ClassGradeModel::Score));
    }
};

} // namespace

frmnilaikelas::frmnilaikelas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmnilaikelas"));
    setWindowTitle(QStringLiteral("Entri Nilai Kelas"));
    m_model = new ClassGradeModel(this);
    buildControls();
    wireControls();

    MstglProses->setDate(clock::today());
    fillClassLists();
    txtkopel->setFocus(Qt::OtherFocusReason);
}

void frmnilaikelas::buildControls()
{
    txtkopel = ui::named<QLineEdit>(QStringLiteral("txtkopel"), this);
    txtmapel = ui::named<QLineEdit>(QStringLiteral("txtmapel"), this);
    txtsks = ui::named<QLineEdit>(QStringLiteral("txtsks"), this);
    txtinstruktur = ui::named<QLineEdit>(QStringLiteral("txtinstruktur"), this);
    for (QLineEdit *shown : {txtmapel, txtsks, txtinstruktur}) {
        shown->setReadOnly(true);
        shown->setFocusPolicy(Qt::NoFocus);
    }
    MstglProses = ui::named<ui::DateBox>(QStringLiteral("MstglProses"), this);
    cmbProgram = ui::named<QComboBox>(QStringLiteral("cmbProgram"), this);
    cmbLevel = ui::named<QComboBox>(QStringLiteral("cmbLevel"), this);
    txtawalnis = ui::named<QLineEdit>(QStringLiteral("txtawalnis"), this);
    cmdTampil = ui::named<QPushButton>(QStringLiteral("cmdTampil"), this, QStringLiteral("&Tampilkan"));

    auto *grid = new ScoreGrid(this);
    grid->setObjectName(QStringLiteral("dgNilai"));
    grid->paste = [this] { dgNilai_Paste(); };
    dgNilai = grid;
    dgNilai->setModel(m_model);
    dgNilai->setItemDelegate(new ScoreDelegate(dgNilai));
    dgNilai->setSelectionMode(QAbstractItemView::SingleSelection);
    dgNilai->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                             | QAbstractItemView::EditKeyPressed);
    dgNilai->setTabKeyNavigation(false);
    // Fixed sizes: nothing measures the rows of a large class.
    dgNilai->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dgNilai->verticalHeader()->setDefaultSectionSize(dgNilai->fontMetrics().height() + 6);
    const int widths[] = {90, 220, 85, 80, 55, 80, 90, 60};
    for (int column = 0; column < ClassGradeModel::ColumnCount; ++column)
        dgNilai->setColumnWidth(column, widths[column]);
    dgNilai->horizontalHeader()->setStretchLastSection(true);
    dgNilai->setContextMenuPolicy(Qt::ActionsContextMenu);
    mnuTempel = new QAction(QStringLiteral("&Tempel Nilai"), dgNilai);
    mnuTempel->setObjectName(QStringLiteral("mnuTempel"));
    mnuIsiKosong = new QAction(QStringLiteral("&Isi Nilai Kosong dengan Nilai Ini"), dgNilai);
    mnuIsiKosong->setObjectName(QStringLiteral("mnuIsiKosong"));
    mnuIsiKosong->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    mnuIsiKosong->setShortcutContext(Qt::WidgetShortcut);
    dgNilai->addAction(mnuTempel);
    dgNilai->addAction(mnuIsiKosong);

    lblJumlah = ui::named<QLabel>(QStringLiteral("lblJumlah"), this);
    cmdSimpan = ui::named<QPushButton>(QStringLiteral("cmdSimpan"), this, QStringLiteral("&Save"));
    cmdKeluar = ui::named<QPushButton>(QStringLiteral("cmdKeluar"), this, QStringLiteral("&Exit"));
    for (QPushButton *button : {cmdTampil, cmdSimpan, cmdKeluar})
        button->setAutoDefault(false);

    auto *subject = new QGroupBox(QStringLiteral("Inputkan Mapel !!"), this);
    auto *subjectGrid = new QGridLayout(subject);
    addRow(subjectGrid, QStringLiteral("Kd_Mapel"), txtkopel);
    addRow(subjectGrid, QStringLiteral("Nama Mapel"), txtmapel);
    addRow(subjectGrid, QStringLiteral("Lama Belajar"), txtsks);
    addRow(subjectGrid, QStringLiteral("Tentor"), txtinstruktur);
    addRow(subjectGrid, QStringLiteral("Tgl Proses"), MstglProses);

    auto *group = new QGroupBox(QStringLiteral("Pilih Kelas"), this);
    auto *groupGrid = new QGridLayout(group);
    addRow(groupGrid, QStringLiteral("Program/Jurusan"), cmbProgram);
    addRow(groupGrid, QStringLiteral("Level/Tahap"), cmbLevel);
    addRow(groupGrid, QStringLiteral("Awal NIS"), txtawalnis);
    groupGrid->addWidget(cmdTampil, groupGrid->rowCount(), 2);

    auto *top = new QHBoxLayout;
    top->addWidget(subject);
    top->addWidget(group, 0, Qt::AlignTop);

    auto *buttons = new QGroupBox(QStringLiteral("Proses Data"), this);
    auto *buttonRow = new QHBoxLayout(buttons);
    buttonRow->addWidget(lblJumlah, 1);
    buttonRow->addWidget(cmdSimpan);
    buttonRow->addWidget(cmdKeluar);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new ui::Letterhead(QStringLiteral("ENTRI NILAI KELAS"), this));
    layout->addLayout(top);
    layout->addWidget(dgNilai, 1);
    layout->addWidget(buttons);
    resize(820, 680);

    const QList<QWidget *> tabOrder{txtkopel, MstglProses, cmbProgram, cmbLevel, txtawalnis,
                                    cmdTampil, dgNilai, cmdSimpan, cmdKeluar};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
}

void frmnilaikelas::wireControls()
{
    ui::onEnter(txtkopel, [this] { txtkopel_KeyPress(); });
    ui::onEnter(cmbProgram, [this] { ui::moveFocus(cmbLevel); });
    ui::onEnter(cmbLevel, [this] { ui::focusAndSelect(txtawalnis); });
    ui::onEnter(txtawalnis, [this] { cmdTampil_Click(); });
    ui::pressOnEnterAll(this);
    connect(cmdTampil, &QPushButton::clicked, this, &frmnilaikelas::cmdTampil_Click);
    connect(cmdSimpan, &QPushButton::clicked, this, &frmnilaikelas::cmdSimpan_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &frmnilaikelas::cmdKeluar_Click);
    connect(mnuTempel, &QAction::triggered, this, &frmnilaikelas::dgNilai_Paste);
    connect(mnuIsiKosong, &QAction::triggered, this, &frmnilaikelas::mnuIsiKosong_Click);
}

void frmnilaikelas::reportFailure(const QString &text, const db::Result &result)
{
    ui::showFailure(text, result, {}, ui::Icon::Information, this);
}

void frmnilaikelas::fillClassLists()
{
    for (auto [combo, load] : {std::pair{cmbProgram, &grades::StoredProgrammes},
                               std::pair{cmbLevel, &grades::StoredLevels}}) {
        QStringList values;
        const db::Result result = load(dbConnection, &values);
        if (!result.ok())
            reportFailure(SalahProses, result);
        combo->clear();
        combo->addItem(AllValues, QString());
        for (const QString &value : values)
            combo->addItem(value, value);
    }
}

bool frmnilaikelas::mayDropChanges(const QString &action)
{
    if (!m_model->hasChanges())
        return true;
    // No is the default button: a stray Enter keeps the typed scores.
    return ui::showMessage(unsavedScoresQuestion(action), {}, ui::Icon::Question, ui::Buttons::YesNo, this,
                           ui::Answer::No)
           == ui::Answer::Yes;
}

bool frmnilaikelas::lookUpSubject()
{
    if (txtkopel->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Masukkan Kode Pelajaran !"), Pesan, ui::Icon::Critical, ui::Buttons::Ok,
                        this);
        ui::moveFocus(txtkopel);
        return false;
    }
    if (!mayDropChanges(QStringLiteral("Ganti mata pelajaran"))) {
        // The scores stay, and so does the subject they belong to.
        ui::fill(txtkopel, m_model->subject().code);
        ui::focusAndSelect(txtkopel);
        return false;
    }
    grades::ClassSubject subject;
    const db::Result result = grades::FindClassSubject(dbConnection, txtkopel->text(), &subject);
    if (result.kind == db::Result::Kind::NotFound) {
        ui::showMessage(QStringLiteral("Kode tersebut tidak ada tersebut tidak ada...!"), Pesan, ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::focusAndSelect(txtkopel);
        return false;
    }
    if (!result.ok()) {
        reportFailure(SalahProses, result);
        return false;
    }
    txtmapel->setText(subject.name);
    txtsks->setText(subject.credits.isNull() ? QString() : grades::FormatNumber(subject.credits.toDouble()));
    txtinstruktur->setText(subject.instructor);
    // The grid belongs to one subject: a new one starts from an empty grid.
    m_model->setClass({}, subject);
    lblJumlah->clear();
    return true;
}

bool frmnilaikelas::subjectReady()
{
    if (!m_model->subject().code.isEmpty() && m_model->subject().code == txtkopel->text())
        return true;
    return lookUpSubject();
}

void frmnilaikelas::txtkopel_KeyPress()
{
    if (lookUpSubject())
        ui::moveFocus(cmbProgram);
}

void frmnilaikelas::cmdTampil_Click()
{
    if (!subjectReady())
        return;
    if (!mayDropChanges(QStringLiteral("Tampilkan kelas")))
        return;
    const grades::ClassFilter filter{cmbProgram->currentData().toString(), cmbLevel->currentData().toString(),
                                     txtawalnis->text()};
    QList<grades::ClassStudent> students;
    const db::Result result = grades::LoadClass(dbConnection, filter, m_model->subject().code, &students);
    if (!result.ok()) {
        reportFailure(SalahProses, result);
        return;
    }
    m_model->setClass(students, m_model->subject());
    lblJumlah->setText(QStringLiteral("Jumlah siswa : %1").arg(students.size()));
    if (students.isEmpty()) {
        ui::showMessage(QStringLiteral("Tidak ada siswa pada kelas tersebut"), {}, ui::Icon::Information,
                        ui::Buttons::Ok, this);
        ui::focusAndSelect(txtawalnis);
        return;
    }
    focusScore(0);
}

void frmnilaikelas::focusScore(int row)
{
    const QModelIndex cell = m_model->index(row, ClassGradeModel::Score);
    dgNilai->setCurrentIndex(cell);
    dgNilai->scrollTo(cell);
    dgNilai->setFocus(Qt::OtherFocusReason);
}

void frmnilaikelas::dgNilai_Paste()
{
    const QModelIndex current = dgNilai->currentIndex();
    if (!current.isValid())
        return;
    int left = 0;
    const int filled = m_model->pasteScores(current.row(), QGuiApplication::clipboard()->text(), &left);
    if (filled > 0)
        focusScore(current.row() + filled - 1);
    if (left > 0)
        ui::showMessage(QStringLiteral("%1 nilai ditempel. %2 nilai terakhir tidak ditempel: "
                                       "daftar siswa di bawah sel yang dipilih sudah habis.")
                            .arg(filled)
                            .arg(left),
                        Pesan, ui::Icon::Warning, ui::Buttons::Ok, this);
}

void frmnilaikelas::mnuIsiKosong_Click()
{
    const QModelIndex current = dgNilai->currentIndex();
    const QString score = current.isValid() ? m_model->scoreText(current.row()).trimmed() : QString();
    if (score.isEmpty() || !m_model->isValid(current.row())) {
        ui::showMessage(QStringLiteral("Pilih sel berisi Nilai angka untuk mengisi sel yang kosong !"), Pesan,
                        ui::Icon::Critical, ui::Buttons::Ok, this);
        return;
    }
    m_model->fillEmpty(score);
}

void frmnilaikelas::cmdSimpan_Click()
{
    const int invalid = m_model->firstInvalidRow();
    if (invalid >= 0) {
        const QString nis = m_model->index(invalid, ClassGradeModel::Nis).data().toString();
        ui::showMessage(QStringLiteral("Nilai angka siswa NIS %1 tidak valid !").arg(nis), Pesan, ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        focusScore(invalid);
        return;
    }
    QList<grades::ClassGradeWrite> writes = m_model->pendingWrites();
    if (writes.isEmpty()) {
        ui::showMessage(QStringLiteral("Tidak ada nilai yang ditambah atau diubah"), {}, ui::Icon::Information,
                        ui::Buttons::Ok, this);
        return;
    }
    grades::ClassSaveSummary summary;
    const db::Result result =
        grades::SaveClassGrades(dbConnection, m_model->subject(), MstglProses->text(), writes, &summary);
    if (!result.ok()) {
        // Nothing was written; the grid keeps every score as typed.
        reportFailure(SalahProses, result);
        return;
    }
    m_model->markSaved(writes);
    ui::showMessage(QStringLiteral("Data Nilai Sudah di Simpan\rDitambah : %1\rDiubah : %2")
                        .arg(summary.added)
                        .arg(summary.changed),
                    {}, ui::Icon::Information, ui::Buttons::Ok, this);
}

void frmnilaikelas::cmdKeluar_Click()
{
    if (close())
        ui::showMainWindow();
}

void frmnilaikelas::closeEvent(QCloseEvent *event)
{
    if (!mayDropChanges(QStringLiteral("Tutup"))) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace pel
