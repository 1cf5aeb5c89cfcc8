#include "grades/frmtransaksi.h"

#include "common/module1.h"
#include "db/result.h"
#include "env/clock.h"
#include "grades/gradenumbers.h"
#include "grades/gradestore.h"
#include "grades/grading.h"
#include "ui/boxes.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/letterhead.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/screens.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace pel {

namespace {

const QString Pesan = QStringLiteral("Pesan");
const QString SalahProses = QStringLiteral("SALAH PROSES, Isikan dengan benar");
const QString ChangedElsewhere =
    QStringLiteral("Data telah diubah di komputer lain. Data yang tersimpan ditampilkan kembali.");

bool sameKey(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// A stored number in the boxes' number form.
QString shownNumber(const QString &stored)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(stored, &ok);
    return ok ? grades::FormatNumber(value) : stored;
}

// A box with its label and the ":" label, on one row of a frame's grid.
void addRow(QGridLayout *grid, const QString &label, QWidget *box)
{
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(new QLabel(QStringLiteral(":")), row, 1);
    grid->addWidget(box, row, 2);
}

// Enter in an empty box: the box's message, and the focus stays there.
bool refusedEmpty(QLineEdit *box, const QString &message)
{
    if (!box->text().isEmpty())
        return false;
    ui::showMessage(message, Pesan, ui::Icon::Critical, ui::Buttons::Ok, box->window());
    ui::moveFocus(box);
    return true;
}

} // namespace

frmtransaksi::frmtransaksi(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmtransaksi"));
    setWindowTitle(QStringLiteral("Proses Nilai Mahasiswa"));
    buildControls();
    wireControls();

    MstglProses->setDate(clock::today());
    drawRegistrationNumber();
    ui::moveFocus(txtNoreg);
}

void frmtransaksi::buildControls()
{
    txtNoreg = ui::named<QLineEdit>(QStringLiteral("txtNoreg"), this);
    MstglProses = new ui::DateBox(this);
    MstglProses->setObjectName(QStringLiteral("MstglProses"));
    txtnis = ui::named<QLineEdit>(QStringLiteral("txtnis"), this);
    txtnama = ui::named<QLineEdit>(QStringLiteral("txtnama"), this);
    txtprogram = ui::named<QLineEdit>(QStringLiteral("txtprogram"), this);
    txtlevel = ui::named<QLineEdit>(QStringLiteral("txtlevel"), this);
    txtkopel = ui::named<QLineEdit>(QStringLiteral("txtkopel"), this);
    txtmapel = ui::named<QLineEdit>(QStringLiteral("txtmapel"), this);
    txtsks = ui::named<QLineEdit>(QStringLiteral("txtsks"), this);
    txtinstruktur = ui::named<QLineEdit>(QStringLiteral("txtinstruktur"), this);
    txtNilangka = ui::named<QLineEdit>(QStringLiteral("txtNilangka"), this);
    txtNilhuruf = ui::named<QLineEdit>(QStringLiteral("txtNilhuruf"), this);
    txtbobot = ui::named<QLineEdit>(QStringLiteral("txtbobot"), this);
    txtmutu = ui::named<QLineEdit>(QStringLiteral("txtmutu"), this);
    txtPredik = ui::named<QLineEdit>(QStringLiteral("txtPredik"), this);
    txtket = ui::named<QLineEdit>(QStringLiteral("txtket"), this);

    auto *heading = new QGridLayout;
    addRow(heading, QStringLiteral("No. Reg"), txtNoreg);
    addRow(heading, QStringLiteral("Tgl Proses"), MstglProses);

    auto *student = new QGroupBox(QStringLiteral("Inputkan NIS !!"), this);
    auto *studentGrid = new QGridLayout(student);
    addRow(studentGrid, QStringLiteral("N I S"), txtnis);
    addRow(studentGrid, QStringLiteral("Nama Siswa"), txtnama);

    auto *programme = new QGroupBox(this);
    auto *programmeGrid = new QGridLayout(programme);
    addRow(programmeGrid, QStringLiteral("Program/Jurusan"), txtprogram);
    addRow(programmeGrid, QStringLiteral("Level/Tahap"), txtlevel);

    auto *subject = new QGroupBox(QStringLiteral("Inputkan Mapel !!"), this);
    auto *subjectGrid = new QGridLayout(subject);
    addRow(subjectGrid, QStringLiteral("Kd_Mapel"), txtkopel);
    addRow(subjectGrid, QStringLiteral("Nama Mapel"), txtmapel);
    addRow(subjectGrid, QStringLiteral("Lama Belajar"), txtsks);
    addRow(subjectGrid, QStringLiteral("Tentor"), txtinstruktur);

    auto *grade = new QGroupBox(QStringLiteral("Proses Data"), this);
    auto *gradeGrid = new QGridLayout(grade);
    addRow(gradeGrid, QStringLiteral("NIlai angka"), txtNilangka);
    addRow(gradeGrid, QStringLiteral("Nilai Huruf"), txtNilhuruf);
    addRow(gradeGrid, QStringLiteral("Bobot"), txtbobot);
    addRow(gradeGrid, QStringLiteral("Nilai Mutu"), txtmutu);
    addRow(gradeGrid, QStringLiteral("PREDIKET"), txtPredik);
    addRow(gradeGrid, QStringLiteral("KET"), txtket);

    auto *buttons = new QGroupBox(QStringLiteral("Proses Data"), this);
    auto *buttonRow = new QHBoxLayout(buttons);
    const auto newButton = [buttons, buttonRow](const char *name, const QString &caption) {
        auto *button = new QPushButton(caption, buttons);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        buttonRow->addWidget(button);
        return button;
    };
    cmdSimpan = newButton("cmdSimpan", QStringLiteral("&Save"));
    CmdUpdate = newButton("CmdUpdate", QStringLiteral("&Update"));
    CmdDelete = newButton("CmdDelete", QStringLiteral("&Delete"));
    cmdBatal = newButton("cmdBatal", QStringLiteral("&Cancel"));
    cmdKeluar = newButton("cmdKeluar", QStringLiteral("&Exit"));

    auto *left = new QVBoxLayout;
    left->addWidget(student);
    left->addWidget(programme);
    left->addWidget(subject);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(grade, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new ui::Letterhead(QStringLiteral("PROSES  NILAI"), this));
    layout->addLayout(heading);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    const QList<QWidget *> tabOrder{txtnis,      txtnama,   txtlevel,     txtprogram,    cmdKeluar, cmdBatal,
                                    cmdSimpan,   txtmapel,  txtkopel,     txtinstruktur, txtsks,    txtPredik,
                                    txtbobot,    txtNilangka, txtNilhuruf, txtket,       txtNoreg,  MstglProses,
                                    CmdUpdate,   CmdDelete, txtmutu};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
}

void frmtransaksi::wireControls()
{
    ui::onEnter(txtNoreg, [this] { txtNoreg_KeyPress(); });
    ui::onEnter(txtnis, [this] { txtnis_KeyPress(); });
    ui::onEnter(txtkopel, [this] { txtkopel_KeyPress(); });
    ui::onEnter(txtNilangka, [this] { txtNilangka_KeyPress(); });
    ui::onEnter(txtmutu, [this] { txtmutu_KeyPress(); });
    ui::pressOnEnterAll(this);
    ui::returnToMainWindowOnClose(this);
    connect(cmdSimpan, &QPushButton::clicked, this, &frmtransaksi::cmdSimpan_Click);
    connect(CmdUpdate, &QPushButton::clicked, this, &frmtransaksi::CmdUpdate_Click);
    connect(CmdDelete, &QPushButton::clicked, this, &frmtransaksi::CmdDelete_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &frmtransaksi::cmdBatal_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &frmtransaksi::cmdKeluar_Click);
}

void frmtransaksi::reportFailure(const QString &text, const db::Result &result)
{
    ui::showFailure(text, result, {}, ui::Icon::Information, this);
}

void frmtransaksi::drawRegistrationNumber()
{
    QString number;
    if (const db::Result drawn = grades::NextRegistrationNumber(dbConnection, &number); !drawn.ok())
        reportFailure(SalahProses, drawn);
    ui::fill(txtNoreg, number);
}

db::GradeRowValues frmtransaksi::rowFromBoxes() const
{
    return {txtNoreg->text(),      MstglProses->text(), txtnis->text(),     txtprogram->text(),
            txtlevel->text(),      txtkopel->text(),    txtsks->text(),     txtinstruktur->text(),
            txtNilangka->text(),   txtNilhuruf->text(), txtbobot->text(),   txtmutu->text(),
            txtPredik->text(),     txtket->text()};
}

void frmtransaksi::txtNoreg_KeyPress()
{
    if (refusedEmpty(txtNoreg, QStringLiteral("Masukkan Nomor Registrasi !")))
        return;
    const db::Result taken = grades::FindRegistration(dbConnection, txtNoreg->text());
    if (!taken.ok() && taken.kind != db::Result::Kind::NotFound) {
        reportFailure(QStringLiteral("Salah Proses"), taken);
        return;
    }
    if (taken.ok()) {
        ui::showMessage(QStringLiteral("Noreg Tersebut Sudah Ada"), {}, ui::Icon::Information, ui::Buttons::Ok,
                        this);
        ui::focusAndSelect(txtNoreg);
        return;
    }
    ui::moveFocus(txtnis);
}

void frmtransaksi::txtnis_KeyPress()
{
    if (refusedEmpty(txtnis, QStringLiteral("Masukkan Nomor Induk Siswa !")))
        return;
    grades::GradeStudent student;
    const db::Result found = grades::FindGradeStudent(dbConnection, txtnis->text(), &student);
    if (!found.ok() && found.kind != db::Result::Kind::NotFound) {
        reportFailure(SalahProses, found);
        return;
    }
    if (!found.ok()) {
        ui::showMessage(QStringLiteral("Nis tersebut tidak ada...!"), Pesan, ui::Icon::Critical, ui::Buttons::Ok,
                        this);
        ui::focusAndSelect(txtnis);
        return;
    }
    ui::fill(txtnama, student.name);
    ui::fill(txtprogram, student.programme);
    ui::fill(txtlevel, student.level);
    ui::focusAndSelect(txtkopel);
}

void frmtransaksi::txtkopel_KeyPress()
{
    if (refusedEmpty(txtkopel, QStringLiteral("Masukkan Kode Pelajaran !")))
        return;
    grades::GradeSubject subject;
    const db::Result found = grades::FindGradeSubject(dbConnection, txtkopel->text(), &subject);
    if (!found.ok() && found.kind != db::Result::Kind::NotFound) {
        reportFailure(SalahProses, found);
        return;
    }
    if (!found.ok()) {
        ui::showMessage(QStringLiteral("Kode tersebut tidak ada tersebut tidak ada...!"), Pesan, ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::focusAndSelect(txtkopel);
        return;
    }
    ui::fill(txtmapel, subject.name);
    // Credit units in the boxes' number form, so that the quality points read them back.
    ui::fill(txtsks, subject.credits ? grades::FormatNumber(*subject.credits) : QString());
    ui::fill(txtinstruktur, subject.instructor);
    lookUpGradeRows();
    ui::focusAndSelect(txtNilangka);
}

void frmtransaksi::lookUpGradeRows()
{
    LookedUp lookedUp{txtNoreg->text(), txtkopel->text(), {}};
    const db::Result found = grades::FindGradeRows(dbConnection, lookedUp.noreg, lookedUp.code, &lookedUp.rows);
    if (!found.ok()) {
        m_lookedUp.reset();
        reportFailure(SalahProses, found);
        return;
    }
    m_lookedUp = lookedUp;
}

void frmtransaksi::showGradeRow(const db::GradeRowValues &row)
{
    if (ui::DateBox::canHold(row.tglProses))
        MstglProses->setText(row.tglProses);
    ui::fill(txtNilangka, shownNumber(row.nilangka));
    ui::fill(txtNilhuruf, row.nilhu);
    ui::fill(txtbobot, shownNumber(row.bobot));
    ui::fill(txtmutu, shownNumber(row.mutu));
    ui::fill(txtPredik, row.prediket);
    ui::fill(txtket, row.ket);
}

void frmtransaksi::txtNilangka_KeyPress()
{
    const QString numberMissing = QStringLiteral("Masukkan Nilai Angka !");
    if (refusedEmpty(txtNilangka, numberMissing))
        return;
    const std::optional<double> score = grades::ReadNumber(txtNilangka->text());
    if (!score) {
        // Not a number: nothing is graded, and the operator types over it.
        ui::showMessage(numberMissing, Pesan, ui::Icon::Critical, ui::Buttons::Ok, this);
        ui::focusAndSelect(txtNilangka);
        return;
    }
    const Grade grade = GradeForScore(*score);
    ui::fill(txtNilhuruf, grade.letter);
    ui::fill(txtket, grade.remark);
    ui::fill(txtPredik, grade.predicate);
    ui::fill(txtbobot, QString::number(grade.weight));
    ui::moveFocus(txtmutu);
}

void frmtransaksi::txtmutu_KeyPress()
{
    const std::optional<double> weight = grades::ReadNumber(txtbobot->text());
    const std::optional<double> credits = grades::ReadNumber(txtsks->text());
    const double points = weight && credits ? QualityPoints(*weight, *credits) : NAN;
    if (!std::isfinite(points)) {
        ui::showMessage(QStringLiteral("Isikan Nilai angka, kemudian silakan enter"), {}, ui::Icon::Information,
                        ui::Buttons::Ok, this);
        return;
    }
    ui::fill(txtmutu, FormatQualityPoints(points));
    ui::moveFocus(cmdSimpan);
}

void frmtransaksi::cmdSimpan_Click()
{
    QString savedNumber;
    const db::Result saved = grades::SaveGrade(dbConnection, rowFromBoxes(), &savedNumber);
    if (!saved.ok()) {
        reportFailure(SalahProses, saved);
        return;
    }
    m_lookedUp.reset();
    if (savedNumber != txtNoreg->text()) {
        // Another desk saved another student under the drawn number first.
        const QString drawn = txtNoreg->text();
        ui::fill(txtNoreg, savedNumber);
        ui::showMessage(QStringLiteral("Nomor registrasi %1 sudah dipakai siswa lain; nilai disimpan dengan nomor %2.")
                            .arg(drawn, savedNumber),
                        {}, ui::Icon::Information, ui::Buttons::Ok, this);
    } else {
        ui::showMessage(QStringLiteral("Data Nilai Sudah di Simpan"), {}, ui::Icon::None, ui::Buttons::Ok, this);
    }
    // The registration, date and student stay for the next subject.
    for (QLineEdit *box : {txtkopel, txtmapel, txtsks, txtbobot, txtinstruktur, txtNilangka, txtNilhuruf, txtmutu,
                           txtPredik, txtket})
        box->clear();
    ui::moveFocus(txtkopel);
}

void frmtransaksi::CmdUpdate_Click()
{
    const db::GradeRowValues row = rowFromBoxes();
    // The comparison applies when the rows in the boxes are the ones looked up.
    const bool guarded = m_lookedUp && sameKey(m_lookedUp->noreg, row.noreg) && sameKey(m_lookedUp->code, row.kdMatpel);
    QList<db::GradeRowValues> stored;
    const db::Result updated = grades::UpdateGradeRow(dbConnection, row, guarded ? &m_lookedUp->rows : nullptr, &stored);
    if (guarded && (updated.ok() || updated.kind == db::Result::Kind::Conflict))
        m_lookedUp->rows = stored;
    if (updated.kind == db::Result::Kind::Conflict) {
        ui::showMessage(ChangedElsewhere, Pesan, ui::Icon::Information, ui::Buttons::Ok, this);
        if (!stored.isEmpty())
            showGradeRow(stored.first());
        return;
    }
    if (updated.kind == db::Result::Kind::NotFound) {
        // No row of this registration number has this subject: nothing changed.
        ui::showMessage(QStringLiteral("Data nilai dengan nomor registrasi dan kode mapel itu tidak ada."), Pesan,
                        ui::Icon::Information, ui::Buttons::Ok, this);
        // The key that is wrong is selected for the next one typed: the
        // subject code when the registration number has grades, else the
        // registration number.
        ui::focusAndSelect(grades::FindRegistration(dbConnection, txtNoreg->text()).ok() ? txtkopel : txtNoreg);
        return;
    }
    if (!updated.ok()) {
        reportFailure(SalahProses, updated);
        return;
    }
    ui::showMessage(QStringLiteral("Data Nilai Telah Diubah"), {}, ui::Icon::Information, ui::Buttons::Ok, this);
}

void frmtransaksi::CmdDelete_Click()
{
    // No is the default button: a stray Enter deletes nothing.
    if (ui::showMessage(QStringLiteral("Benar data akan dihapus ?"), {}, ui::Icon::None, ui::Buttons::YesNo, this,
                        ui::Answer::No)
        != ui::Answer::Yes)
        return;
    const db::Result deleted = grades::DeleteGradeRows(dbConnection, txtNoreg->text());
    if (deleted.kind == db::Result::Kind::NotFound) {
        ui::showMessage(QStringLiteral("Data nilai dengan nomor registrasi itu tidak ada."), Pesan,
                        ui::Icon::Information, ui::Buttons::Ok, this);
        ui::focusAndSelect(txtNoreg);
        return;
    }
    if (!deleted.ok()) {
        reportFailure(SalahProses, deleted);
        return;
    }
    ui::showMessage(QStringLiteral("Data telah dihapus"), QStringLiteral("Informasi"), ui::Icon::Information,
                    ui::Buttons::Ok, this);
}

void frmtransaksi::cmdBatal_Click()
{
    m_lookedUp.reset();
    for (QLineEdit *box : {txtNoreg, txtnis, txtnama, txtprogram, txtlevel, txtkopel, txtmapel, txtsks,
                           txtinstruktur, txtNilangka, txtNilhuruf, txtbobot, txtmutu, txtPredik, txtket})
        box->clear();
    MstglProses->setDate(clock::today());
    drawRegistrationNumber();
}

void frmtransaksi::cmdKeluar_Click()
{
    ui::closeAndShowMainWindow(this);
}

} // namespace pel
