#include "students/FrmEntri.h"

#include "common/module1.h"
#include "db/result.h"
#include "env/clock.h"
#include "students/studententry.h"
#include "students/studentstore.h"
#include "ui/boxes.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/letterhead.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/screens.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pel {

namespace {

const QString Pesan = QStringLiteral("Pesan");
const QString Informasi = QStringLiteral("Informasi");
const QString NoSuchStudent = QStringLiteral("Data siswa dengan NIS itu tidak ada.");
const QString ChangedElsewhere =
    QStringLiteral("Data telah diubah di komputer lain. Data yang tersimpan ditampilkan kembali.");

QLineEdit *newTextBox(const char *name, const char *prompt, QWidget *parent)
{
    auto *box = ui::named<QLineEdit>(QString::fromLatin1(name), parent);
    box->setToolTip(QString::fromLatin1(prompt));
    return box;
}

QComboBox *newCombo(const char *name, const QStringList &entries, QWidget *parent)
{
    auto *combo = ui::named<QComboBox>(QString::fromLatin1(name), parent);
    combo->setToolTip(QStringLiteral("Silakan Pilih pada Combo"));
    combo->setEditable(true);
    // Typed text stays as typed: no completion from the list, and Enter
    // never adds the text to the list.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->clearEditText();
    ui::fitEntries(combo);
    return combo;
}

void clearCombo(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
    combo->clearEditText();
}

void setComboText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(-1);
    ui::fill(combo, text);
}

// The Enter rule of a combo box: the same as a text box's (empty: the
// message and the focus stays; else capitals and on to next). The key may
// reach the combo or its edit line, by where the focus is.
void comboEnterMovesTo(QComboBox *combo, QWidget *next, const QString &emptyMessage)
{
    const auto handler = [combo, next, emptyMessage] {
        if (combo->currentText().isEmpty()) {
            ui::showMessage(emptyMessage, Pesan, ui::Icon::Critical, ui::Buttons::Ok, combo->window());
            ui::moveFocus(combo);
            return;
        }
        ui::fill(combo, combo->currentText().toUpper());
        ui::moveFocus(next);
    };
    ui::onEnter(combo, handler);
    ui::onEnter(combo->lineEdit(), handler);
}

// A date box never counts as empty: Enter moves on, whatever it holds.
void dateEnterMovesTo(ui::DateBox *box, QWidget *next)
{
    ui::onEnter(box, [next] { ui::moveFocus(next); });
}

} // namespace

FrmEntri::FrmEntri(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmEntri"));
    setWindowTitle(QStringLiteral("Entri Data Siswa"));
    buildContents();
    wireEnterFlow();

    MstglMasuk->setDate(clock::today());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &FrmEntri::Timer1_Timer);
    Timer1->start();
}

void FrmEntri::buildContents()
{
    auto *layout = new QVBoxLayout(this);

    auto *clockRow = new QHBoxLayout;
    Label28 = new QLabel(this);
    Label28->setObjectName(QStringLiteral("Label28"));
    Label29 = new QLabel(this);
    Label29->setObjectName(QStringLiteral("Label29"));
    clockRow->addWidget(Label28);
    clockRow->addStretch();
    clockRow->addWidget(Label29);
    layout->addLayout(clockRow);

    layout->addWidget(new ui::Letterhead(QStringLiteral("ENTRY DATA SISWA BARU"), this));

    // Each row: the label, a separate ":" label, then the box(es).
    const auto addRow = [](QGroupBox *frame, QGridLayout *grid, const char *label, QList<QWidget *> boxes) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(QString::fromLatin1(label), frame), row, 0);
        grid->addWidget(new QLabel(QStringLiteral(":"), frame), row, 1);
        auto *line = new QHBoxLayout;
        for (QWidget *box : boxes)
            line->addWidget(box);
        if (boxes.size() > 1 || qobject_cast<QComboBox *>(boxes.first()))
            line->addStretch();
        grid->addLayout(line, row, 2);
    };

    auto *upper = new QGroupBox(QStringLiteral("Inputkan Data Siswa Baru !!"), this);
    upper->setObjectName(QStringLiteral("Frame1"));
    auto *upperGrid = new QGridLayout(upper);
    txtnis = newTextBox("txtnis", "Masukkan NIS", upper);
    txtnama = newTextBox("txtnama", "Masukkan Nama Siswa", upper);
    txttempat = newTextBox("txttempat", "Masukkan Tempat Lahir", upper);
    Mstgllahir = new ui::DateBox(upper);
    Mstgllahir->setObjectName(QStringLiteral("Mstgllahir"));
    Mstgllahir->setToolTip(QStringLiteral("Masukkan Tanggal Lahir"));
    txtalamat = newTextBox("txtalamat", "Masukkan Alamat", upper);
    txtalamat->setMinimumWidth(360);
    Combo1 = newCombo("Combo1", {QStringLiteral("Laki-laki"), QStringLiteral("Perempuan")}, upper);
    Combo2 = newCombo("Combo2",
                      {QStringLiteral("Islam"), QStringLiteral("Khatolik"), QStringLiteral("Protestan"),
                       QStringLiteral("Hindu"), QStringLiteral("Budha")},
                      upper);
    addRow(upper, upperGrid, "N I S", {txtnis});
    addRow(upper, upperGrid, "Nama_Siswa", {txtnama});
    addRow(upper, upperGrid, "T T L", {txttempat, Mstgllahir});
    addRow(upper, upperGrid, "Alamat", {txtalamat});
    addRow(upper, upperGrid, "Jenis_Kelamin", {Combo1});
    addRow(upper, upperGrid, "Agama", {Combo2});
    layout->addWidget(upper);

    auto *lower = new QGroupBox(this);
    lower->setObjectName(QStringLiteral("Frame2"));
    auto *lowerGrid = new QGridLayout(lower);
    MstglMasuk = new ui::DateBox(lower);
    MstglMasuk->setObjectName(QStringLiteral("MstglMasuk"));
    MstglMasuk->setToolTip(QStringLiteral("Masukkan Tanggal Masuk"));
    txtprogram = newTextBox("txtprogram", "Masukkan Program/Jurusan", lower);
    txtlevel = newTextBox("txtlevel", "Masukkan Level/Tahap", lower);
    txtasal = newTextBox("txtasal", "Masukkan Asal Sekolah", lower);
    txttelp = newTextBox("txttelp", "Masukkan Nomor Telp/HP", lower);
    addRow(lower, lowerGrid, "Tgl_Masuk", {MstglMasuk});
    addRow(lower, lowerGrid, "Program/Jurusan", {txtprogram});
    addRow(lower, lowerGrid, "Level/Tahap", {txtlevel});
    addRow(lower, lowerGrid, "Asal_Sekolah", {txtasal});
    addRow(lower, lowerGrid, "Telp/HP", {txttelp});
    layout->addWidget(lower);

    auto *process = new QGroupBox(QStringLiteral("Proses Data"), this);
    process->setObjectName(QStringLiteral("Frame3"));
    auto *buttons = new QHBoxLayout(process);
    const auto addButton = [process, buttons](const char *name, const char *caption) {
        auto *button = new QPushButton(QString::fromLatin1(caption), process);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    cmdSimpan = addButton("cmdSimpan", "&Save");
    CmdUpdate = addButton("CmdUpdate", "&Update");
    cmdBatal = addButton("cmdBatal", "&Cancel");
    CmdDelete = addButton("CmdDelete", "&Delete");
    cmdKeluar = addButton("cmdKeluar", "&Exit");
    layout->addWidget(process);

    connect(cmdSimpan, &QPushButton::clicked, this, &FrmEntri::cmdSimpan_Click);
    connect(CmdUpdate, &QPushButton::clicked, this, &FrmEntri::CmdUpdate_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &FrmEntri::cmdBatal_Click);
    connect(CmdDelete, &QPushButton::clicked, this, &FrmEntri::CmdDelete_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &FrmEntri::cmdKeluar_Click);
}

void FrmEntri::wireEnterFlow()
{
    ui::onKeyPress(txtnis, [this](QKeyEvent *event) { return txtnis_KeyPress(event); });
    ui::enterMovesTo(txtnama, txttempat, QStringLiteral("Masukkan Nama Siswa !"), true);
    ui::enterMovesTo(txttempat, Mstgllahir, QStringLiteral("Masukkan Tempat Lahir !"), true);
    dateEnterMovesTo(Mstgllahir, txtalamat);
    ui::enterMovesTo(txtalamat, Combo1, QStringLiteral("Masukkan Alamat !"), true);
    comboEnterMovesTo(Combo1, Combo2, QStringLiteral("Silakan Pilih !"));
    comboEnterMovesTo(Combo2, MstglMasuk, QStringLiteral("Silahkan Pilih !"));
    dateEnterMovesTo(MstglMasuk, txtprogram);
    ui::enterMovesTo(txtprogram, txtlevel, QStringLiteral("Masukkan Program/Jurusan"), true);
    ui::enterMovesTo(txtlevel, txtasal, QStringLiteral("Masukkan Level/Tahap"), true);
    ui::enterMovesTo(txtasal, txttelp, QStringLiteral("Masukkan Asal Sekolah"), true);
    ui::enterMovesTo(txttelp, cmdSimpan, QStringLiteral("Masukkan Nomor Telp/HP"), true);
    // Enter in a filled telephone box enables Save before the focus moves
    // there (a disabled button cannot take the focus). Installed last, so it
    // sees the key first and passes it on.
    ui::onKeyPress(txttelp, [this](QKeyEvent *event) {
        if (ui::isEnter(event) && !txttelp->text().isEmpty())
            cmdSimpan->setEnabled(true);
        return false;
    });
    ui::pressOnEnterAll(this);
    ui::returnToMainWindowOnClose(this);
}

bool FrmEntri::txtnis_KeyPress(QKeyEvent *event)
{
    if (students::isCharacterKey(event->key(), event->text()))
        cmdSimpan->setEnabled(false);
    if (!ui::isEnter(event))
        return false;
    if (txtnis->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Masukkan Nomor Induk Siswa !"), Pesan, ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::moveFocus(txtnis);
    } else {
        lookupNis();
    }
    return true;
}

void FrmEntri::lookupNis()
{
    db::StudentRecord stored;
    const db::Result found = students::FindStudent(dbConnection, txtnis->text(), &stored);
    m_lookedUp.reset();
    if (found.ok())
        m_lookedUp = stored;
    if (found.kind == db::Result::Kind::NotFound) {
        ui::moveFocus(txtnama);
        clearBoxes(true);
        CmdUpdate->setEnabled(false);
        cmdSimpan->setEnabled(true);
        return;
    }
    if (!found.ok()) {
        ui::showFailure(QStringLiteral("Data siswa tidak dapat dibaca."), found, {}, ui::Icon::Critical, this);
        ui::moveFocus(txtnis);
        return;
    }
    ui::showMessage(QStringLiteral("Nomor Induk Siswa Tersebut Sudah Ada, ") + QLatin1Char('\r')
                        + QStringLiteral("Silahkan Masukkan NIS yang lain agar tidak terjadi penggandaan data"),
                    {}, ui::Icon::Critical, ui::Buttons::Ok, this);
    ui::showMessage(QStringLiteral("Tapi silakan jika anda akan melakukan edit data...!"), Informasi,
                    ui::Icon::Information, ui::Buttons::Ok, this);
    const bool filled = fillBoxes(stored);
    ui::moveFocus(txtnis);
    cmdSimpan->setEnabled(false);
    if (filled)
        CmdUpdate->setEnabled(true);
    ui::selectWholeText(txtnis);
}

bool FrmEntri::fillBoxes(const db::StudentRecord &s)
{
    // A stored date that the date box cannot show as it is would come back
    // altered and be written so by Update: say so and leave the boxes alone.
    for (const QString &date : {s.tglLahir, s.tglMasuk}) {
        if (!ui::DateBox::canHold(date)) {
            ui::showMessage(QStringLiteral("Tanggal yang tersimpan tidak dapat ditampilkan: ") + date, {},
                            ui::Icon::Critical, ui::Buttons::Ok, this);
            return false;
        }
    }
    ui::fill(txtnama, s.namaSiswa);
    ui::fill(txttempat, s.tptLahir);
    Mstgllahir->setText(s.tglLahir);
    ui::fill(txtalamat, s.alamat);
    setComboText(Combo1, s.jenisKelamin);
    setComboText(Combo2, s.agama);
    MstglMasuk->setText(s.tglMasuk);
    ui::fill(txtprogram, s.progamJurusan);
    ui::fill(txtlevel, s.levelTahap);
    ui::fill(txtasal, s.asalSekolah);
    ui::fill(txttelp, s.telpHp);
    return true;
}

db::StudentRecord FrmEntri::boxes() const
{
    db::StudentRecord s;
    s.nis = txtnis->text();
    s.namaSiswa = txtnama->text();
    s.tptLahir = txttempat->text();
    s.tglLahir = Mstgllahir->text();
    s.alamat = txtalamat->text();
    s.jenisKelamin = Combo1->currentText();
    s.agama = Combo2->currentText();
    s.tglMasuk = MstglMasuk->text();
    s.progamJurusan = txtprogram->text();
    s.levelTahap = txtlevel->text();
    s.asalSekolah = txtasal->text();
    s.telpHp = txttelp->text();
    return s;
}

void FrmEntri::clearBoxes(bool keepNis)
{
    m_lookedUp.reset();
    if (!keepNis)
        txtnis->clear();
    txtnama->clear();
    txttempat->clear();
    txtalamat->clear();
    clearCombo(Combo1);
    clearCombo(Combo2);
    txtprogram->clear();
    txtlevel->clear();
    txtasal->clear();
    txttelp->clear();
}

void FrmEntri::cmdSimpan_Click()
{
    const db::Result saved = students::SaveStudent(dbConnection, boxes());
    if (!saved.ok()) {
        ui::showFailure(QStringLiteral("Salah Proses, Isi dulu fieldnya...!"), saved, {}, ui::Icon::None, this);
        return;
    }
    ui::showMessage(QStringLiteral("Data Siswa Sudah Disimpan "), Informasi, ui::Icon::Information,
                    ui::Buttons::Ok, this);
    clearBoxes(false);
    ui::moveFocus(txtnis);
    cmdSimpan->setEnabled(false);
}

void FrmEntri::CmdUpdate_Click()
{
    const db::StudentRecord typed = boxes();
    // The comparison applies when the boxes hold the student looked up.
    const bool guarded = m_lookedUp && QString::compare(m_lookedUp->nis, typed.nis, Qt::CaseInsensitive) == 0;
    db::StudentRecord stored;
    const db::Result result = students::UpdateStudent(dbConnection, typed, guarded ? &*m_lookedUp : nullptr, &stored);
    if (result.kind == db::Result::Kind::Conflict) {
        // Another desk changed the student since the lookup: nothing was
        // written; the boxes show what is stored now.
        ui::showMessage(ChangedElsewhere, Pesan, ui::Icon::Information, ui::Buttons::Ok, this);
        if (fillBoxes(stored))
            m_lookedUp = stored;
        return;
    }
    if (result.kind == db::Result::Kind::NotFound) {
        // Nothing was changed: say so; the boxes keep what was typed and
        // the NIS is selected, so that the next one typed replaces it.
        ui::showMessage(NoSuchStudent, Pesan, ui::Icon::Information, ui::Buttons::Ok, this);
        ui::focusAndSelect(txtnis);
        return;
    }
    if (!result.ok()) {
        ui::showFailure(QStringLiteral("Data siswa tidak dapat diubah."), result, {}, ui::Icon::Critical, this);
        return;
    }
    ui::showMessage(QStringLiteral("Data Siswa Telah Diubah"), {}, ui::Icon::Information, ui::Buttons::Ok, this);
    clearBoxes(false);
    ui::moveFocus(txtnis);
}

void FrmEntri::CmdDelete_Click()
{
    // No is the default button: a stray Enter deletes nothing.
    const ui::Answer answer = ui::showMessage(QStringLiteral("Benar data akan dihapus ?"), {}, ui::Icon::None,
                                              ui::Buttons::YesNo, this, ui::Answer::No);
    if (answer == ui::Answer::Yes) {
        const db::Result result = students::DeleteStudent(dbConnection, txtnis->text());
        if (result.kind == db::Result::Kind::NotFound) {
            ui::showMessage(NoSuchStudent, Pesan, ui::Icon::Information, ui::Buttons::Ok, this);
            ui::focusAndSelect(txtnis);
            return;
        }
        if (!result.ok()) {
            // Grade rows that still refer to the student are the usual
            // refusal; any other cause is named under its own first line.
            if (result.kind == db::Result::Kind::ForeignKey)
                ui::showFailure(QStringLiteral("Nilai sedang diacu"), result, {}, ui::Icon::None, this);
            else
                ui::showFailure(QStringLiteral("Data siswa tidak dapat dihapus."), result,
                                {}, ui::Icon::Critical, this);
            return;
        }
        ui::showMessage(QStringLiteral("Data telah dihapus"), Informasi, ui::Icon::Information, ui::Buttons::Ok,
                        this);
    }
    clearBoxes(false);
    ui::moveFocus(txtnis);
}

void FrmEntri::cmdBatal_Click()
{
    clearBoxes(false);
    ui::moveFocus(txtnis);
    cmdSimpan->setEnabled(false);
}

void FrmEntri::cmdKeluar_Click()
{
    ui::closeAndShowMainWindow(this);
}

void FrmEntri::Timer1_Timer()
{
    const QDateTime moment = clock::now();
    Label28->setText(clock::dayDateText(moment));
    Label29->setText(clock::timeText(moment));
}

} // namespace pel
