#include "subjects/frmentrymatpel.h"

#include "common/module1.h"
#include "db/result.h"
#include "env/clock.h"
#include "subjects/labelslide.h"
#include "subjects/subjectstore.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pel {

namespace {

// One row of the input frame: the label text, a separate ":" and the box.
void addRow(QGridLayout *grid, int row, int column, const QString &text, QWidget *box)
{
    grid->addWidget(new QLabel(text), row, column);
    grid->addWidget(new QLabel(QStringLiteral(":")), row, column + 1);
    grid->addWidget(box, row, column + 2);
}

} // namespace

frmentrymatpel::frmentrymatpel(QWidget *parent)
    : QWidget(parent), m_label5Left(8 * subjects::TwipsPerPixel)
{
    setObjectName(QStringLiteral("frmentrymatpel"));
    setWindowTitle(QStringLiteral("Entry Data Mata Pelajaran"));

    auto *layout = new QVBoxLayout(this);
    // The input frame spans the whole width, so that the moving label
    // measured against the screen's width slides within the frame.
    layout->setContentsMargins(0, 9, 0, 9);
    layout->addWidget(new ui::Letterhead(QStringLiteral("ENTRY DATA PELAJARAN"), this,
                                         {QStringLiteral("Label1"), QStringLiteral("Label2"),
                                          QStringLiteral("Label3"), QStringLiteral("Label4"),
                                          QStringLiteral("Label6")}));

    Frame1 = new QGroupBox(QStringLiteral("Inputkan Matapelajaran !!"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtkopel = ui::named<QLineEdit>(QStringLiteral("txtkopel"), Frame1);
    txtmapel = ui::named<QLineEdit>(QStringLiteral("txtmapel"), Frame1);
    MstglEntry = new ui::DateBox(Frame1);
    MstglEntry->setObjectName(QStringLiteral("MstglEntry"));
    txtlokal = ui::named<QLineEdit>(QStringLiteral("txtlokal"), Frame1);
    txtinstruktur = ui::named<QLineEdit>(QStringLiteral("txtinstruktur"), Frame1);
    txtsks = ui::named<QLineEdit>(QStringLiteral("txtsks"), Frame1);
    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(0, 0, 0, 4);
    auto *boxesPanel = new QWidget(Frame1);
    auto *grid = new QGridLayout(boxesPanel);
    addRow(grid, 0, 0, QStringLiteral("Kode Mapel"), txtkopel);
    addRow(grid, 1, 0, QStringLiteral("Mata Pelajaran"), txtmapel);
    addRow(grid, 2, 0, QStringLiteral("Tgl Entry"), MstglEntry);
    grid->setColumnMinimumWidth(3, 20);
    addRow(grid, 0, 4, QStringLiteral("Lokal_Ruangan"), txtlokal);
    addRow(grid, 1, 4, QStringLiteral("Instruktur"), txtinstruktur);
    addRow(grid, 2, 4, QStringLiteral("SKS_Lama Belajar"), txtsks);
    frameLayout->addWidget(boxesPanel);

    // Label5 moves freely along a strip of the frame's whole width below the
    // boxes; no layout places it.
    m_label5Row = new QWidget(Frame1);
    Label5 = new QLabel(QStringLiteral("Silakan Entrikan Data Pelajaran"), m_label5Row);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont font = Label5->font();
    font.setBold(true);
    Label5->setFont(font);
    Label5->adjustSize();
    m_label5Row->setFixedHeight(Label5->height());
    frameLayout->addWidget(m_label5Row);
    layout->addWidget(Frame1);

    auto *Frame2 = new QGroupBox(QStringLiteral("Proses Data"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmdSimpan = ui::named<QPushButton>(QStringLiteral("cmdSimpan"), Frame2, QStringLiteral("&Save"));
    CmdUpdate = ui::named<QPushButton>(QStringLiteral("CmdUpdate"), Frame2, QStringLiteral("&Update"));
    CmdDelete = ui::named<QPushButton>(QStringLiteral("CmdDelete"), Frame2, QStringLiteral("&Delete"));
    cmdBatal = ui::named<QPushButton>(QStringLiteral("cmdBatal"), Frame2, QStringLiteral("&Cancel"));
    cmdKeluar = ui::named<QPushButton>(QStringLiteral("cmdKeluar"), Frame2, QStringLiteral("&Exit"));
    auto *buttons = new QHBoxLayout(Frame2);
    for (QPushButton *b : {cmdSimpan, CmdUpdate, CmdDelete, cmdBatal, cmdKeluar})
        buttons->addWidget(b);
    layout->addWidget(Frame2);
    layout->addStretch();

    setTabOrder(txtkopel, txtmapel);
    setTabOrder(txtmapel, MstglEntry);
    setTabOrder(MstglEntry, txtlokal);
    setTabOrder(txtlokal, txtinstruktur);
    setTabOrder(txtinstruktur, txtsks);
    setTabOrder(txtsks, cmdSimpan);

    ui::onKeyPress(txtkopel, [this](QKeyEvent *event) { return txtkopel_KeyPress(event); });
    ui::enterMovesTo(txtmapel, MstglEntry, QStringLiteral("Masukkan Nama Pelajaran !"), true);
    ui::onKeyPress(MstglEntry, [this](QKeyEvent *event) { return MstglEntry_KeyPress(event); });
    ui::enterMovesTo(txtlokal, txtinstruktur, QStringLiteral("Masukkan Nama Ruangan !"), true);
    ui::enterMovesTo(txtinstruktur, txtsks, QStringLiteral("Masukkan Nama Instruktur !"), true);
    ui::enterMovesTo(txtsks, cmdSimpan, QStringLiteral("Masukkan Jumlah SKS !"), true);
    ui::pressOnEnterAll(Frame2);
    connect(cmdSimpan, &QPushButton::clicked, this, &frmentrymatpel::cmdSimpan_Click);
    connect(CmdUpdate, &QPushButton::clicked, this, &frmentrymatpel::CmdUpdate_Click);
    connect(CmdDelete, &QPushButton::clicked, this, &frmentrymatpel::CmdDelete_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &frmentrymatpel::cmdBatal_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &frmentrymatpel::cmdKeluar_Click);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(90);
    connect(Timer2, &QTimer::timeout, this, &frmentrymatpel::Timer2_Timer);
    // The rest is a pause of the movement alone; the screen keeps taking input.
    Timer2Rest = new QTimer(this);
    Timer2Rest->setObjectName(QStringLiteral("Timer2Rest"));
    Timer2Rest->setSingleShot(true);
    Timer2Rest->setInterval(Label5RestMs);
    connect(Timer2Rest, &QTimer::timeout, this, &frmentrymatpel::Timer2Rest_Timeout);

    resize(760, 340);
    MstglEntry->setDate(clock::today());
    placeLabel5();
    Timer2->start();
}

bool frmentrymatpel::txtkopel_KeyPress(QKeyEvent *event)
{
    if (!ui::isEnter(event))
        return false;
    const QString code = txtkopel->text();
    if (code.isEmpty()) {
        ui::showMessage(QStringLiteral("Masukkan Kode Matapelajaran !"), QStringLiteral("Pesan"), ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::moveFocus(txtkopel);
        return true;
    }
    db::SubjectText stored;
    const db::Result found = subjects::FindSubject(dbConnection, code, &stored);
    m_lookedUp.reset();
    if (found.ok())
        m_lookedUp = stored;
    if (found.kind == db::Result::Kind::NotFound) {
        // A new code: whatever the other boxes hold stays for the new subject.
        ui::moveFocus(txtmapel);
        return true;
    }
    if (!found.ok()) {
        showFailure(QStringLiteral("Data mata pelajaran tidak dapat dibaca."), found);
        return true;
    }
    ui::showMessage(QStringLiteral("Kode Matapelajaran tersebut sudah ada, \rTapi silakan kalau anda ingin "
                                   "melakukan edit data...!"),
                    {}, ui::Icon::Critical, ui::Buttons::Ok, this);
    showSubject(stored);
    ui::focusAndSelect(txtkopel);
    return true;
}

bool frmentrymatpel::MstglEntry_KeyPress(QKeyEvent *event)
{
    if (!ui::isEnter(event))
        return false;
    // The date box always holds its dashes, so it is never empty; capitals
    // change nothing in it.
    ui::moveFocus(txtlokal);
    return true;
}

void frmentrymatpel::cmdSimpan_Click()
{
    const db::Result saved = subjects::SaveSubject(dbConnection, boxes());
    if (!saved.ok()) {
        ui::showFailure(QStringLiteral("Salah Proses, isi dulu fieldnya..!"), saved, {}, ui::Icon::None, this);
        return;
    }
    ui::showMessage(QStringLiteral("Data mata pelajaran telah disimpan"), QStringLiteral("Informasi"),
                    ui::Icon::Information, ui::Buttons::Ok, this);
    emptyTextBoxes();
    ui::moveFocus(txtkopel);
}

void frmentrymatpel::CmdUpdate_Click()
{
    const db::SubjectText typed = boxes();
    // The comparison applies when the boxes hold the subject looked up.
    const bool guarded = m_lookedUp && QString::compare(m_lookedUp->code, typed.code, Qt::CaseInsensitive) == 0;
    db::SubjectText stored;
    const db::Result result = subjects::UpdateSubject(dbConnection, typed, guarded ? &*m_lookedUp : nullptr, &stored);
    if (result.kind == db::Result::Kind::Conflict) {
        // Another desk changed the subject since the lookup: nothing was
        // written; the boxes show what is stored now.
        ui::showMessage(QStringLiteral("Data telah diubah di komputer lain. Data yang tersimpan ditampilkan kembali."),
                        QStringLiteral("Pesan"), ui::Icon::Information, ui::Buttons::Ok, this);
        showSubject(stored);
        m_lookedUp = stored;
        return;
    }
    if (result.kind == db::Result::Kind::NotFound) {
        // Nothing was changed: say so, and the boxes keep what was typed.
        showNoSuchSubject();
        return;
    }
    if (!result.ok()) {
        showFailure(QStringLiteral("Data mata pelajaran gagal diubah."), result);
        return;
    }
    ui::showMessage(QStringLiteral("Data mata pelajaran telah diubah"), {}, ui::Icon::Information, ui::Buttons::Ok,
                    this);
    emptyTextBoxes();
}

void frmentrymatpel::CmdDelete_Click()
{
    // No is the default button: a stray Enter deletes nothing.
    const ui::Answer answer = ui::showMessage(QStringLiteral("Benar data akan dihapus ?"), {}, ui::Icon::None,
                                              ui::Buttons::YesNo, this, ui::Answer::No);
    if (answer == ui::Answer::Yes) {
        const db::Result result = subjects::DeleteSubject(dbConnection, txtkopel->text());
        if (result.kind == db::Result::Kind::NotFound) {
            showNoSuchSubject();
            return;
        }
        if (!result.ok()) {
            showFailure(QStringLiteral("Data mata pelajaran gagal dihapus."), result);
            return;
        }
        ui::showMessage(QStringLiteral("Data telah dihapus"), QStringLiteral("Informasi"), ui::Icon::Information,
                        ui::Buttons::Ok, this);
        emptyTextBoxes();
    } else {
        // Nothing is deleted; the credit units stay, the date box shows its bare mask.
        txtkopel->clear();
        txtmapel->clear();
        MstglEntry->clearToMask();
        txtlokal->clear();
        txtinstruktur->clear();
    }
    ui::moveFocus(txtkopel);
}

void frmentrymatpel::cmdBatal_Click()
{
    emptyTextBoxes();
}

void frmentrymatpel::cmdKeluar_Click()
{
    ui::closeAndShowMainWindow(this);
}

void frmentrymatpel::Timer2_Timer()
{
    const int innerWidth = width() * subjects::TwipsPerPixel;
    const int labelWidth = Label5->width() * subjects::TwipsPerPixel;
    if (const auto next = subjects::nextSlideLeft(m_label5Left, labelWidth, innerWidth)) {
        m_label5Left = *next;
        placeLabel5();
        return;
    }
    Timer2->stop();
    Timer2Rest->start();
}

void frmentrymatpel::Timer2Rest_Timeout()
{
    // After the rest the label starts again just beyond the right edge.
    m_label5Left = width() * subjects::TwipsPerPixel;
    placeLabel5();
    Timer2->start();
}

db::SubjectText frmentrymatpel::boxes() const
{
    return {txtkopel->text(), txtmapel->text(), MstglEntry->text(),
            txtlokal->text(), txtinstruktur->text(), txtsks->text()};
}

void frmentrymatpel::showSubject(const db::SubjectText &subject)
{
    ui::fill(txtmapel, subject.name);
    const bool dateFits = ui::DateBox::canHold(subject.entryDate);
    if (dateFits)
        MstglEntry->setText(subject.entryDate);
    ui::fill(txtlokal, subject.room);
    ui::fill(txtinstruktur, subject.instructor);
    ui::fill(txtsks, subject.sks);
    if (!dateFits)
        ui::showMessage(QStringLiteral("Tgl Entry tersimpan \"%1\" bukan tanggal dd-mm-yyyy; "
                                       "kotak Tgl Entry tidak diubah.")
                            .arg(subject.entryDate),
                        {}, ui::Icon::Warning, ui::Buttons::Ok, this);
}

void frmentrymatpel::emptyTextBoxes()
{
    m_lookedUp.reset();
    txtkopel->clear();
    txtmapel->clear();
    txtlokal->clear();
    txtinstruktur->clear();
    txtsks->clear();
}

void frmentrymatpel::placeLabel5()
{
    Label5->move(m_label5Left / subjects::TwipsPerPixel, 0);
}

void frmentrymatpel::showNoSuchSubject()
{
    ui::showMessage(QStringLiteral("Data mata pelajaran dengan kode itu tidak ada."), QStringLiteral("Pesan"),
                    ui::Icon::Information, ui::Buttons::Ok, this);
    // The boxes keep what was typed; the code is selected, so that the next
    // one typed replaces it.
    ui::focusAndSelect(txtkopel);
}

void frmentrymatpel::showFailure(const QString &what, const db::Result &result)
{
    ui::showFailure(what, result, {}, ui::Icon::Critical, this);
}

} // namespace pel
