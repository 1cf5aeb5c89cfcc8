#pragma once

#include "db/gradestatements.h"
#include "db/result.h"

#include <QList>
#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace pel {

namespace ui {
class DateBox;
}

// "Proses Nilai Mahasiswa": the grades of one student under one registration
// number, subject by subject. Its constructor is the screen's load: today's
// date and the next registration number.
class frmtransaksi : public QWidget
{
    Q_OBJECT
public:
    explicit frmtransaksi(QWidget *parent = nullptr);

    // Enter-key handlers of the boxes.
    void txtNoreg_KeyPress();
    void txtnis_KeyPress();
    void txtkopel_KeyPress();
    void txtNilangka_KeyPress();
    void txtmutu_KeyPress();

    // Button handlers.
    void cmdSimpan_Click();
    void CmdUpdate_Click();
    void CmdDelete_Click();
    void cmdBatal_Click();
    void cmdKeluar_Click();

private:
    void buildControls();
    void wireControls();
    void drawRegistrationNumber();
    db::GradeRowValues rowFromBoxes() const;
    // Reads the stored rows of the registration and subject in the boxes, as
    // the values an Update must find unchanged.
    void lookUpGradeRows();
    // Shows a stored row's date and grade values in the boxes.
    void showGradeRow(const db::GradeRowValues &row);
    // The failure message of the screen with the database's reason below it.
    void reportFailure(const QString &text, const db::Result &result);

    // The rows of one registration number and subject code as this desk last
    // read or wrote them.
    struct LookedUp
    {
        QString noreg;
        QString code;
        QList<db::GradeRowValues> rows;
    };
    std::optional<LookedUp> m_lookedUp;

    QLineEdit *txtNoreg = nullptr;
    ui::DateBox *MstglProses = nullptr;
    QLineEdit *txtnis = nullptr;
    QLineEdit *txtnama = nullptr;
    QLineEdit *txtprogram = nullptr;
    QLineEdit *txtlevel = nullptr;
    QLineEdit *txtkopel = nullptr;
    QLineEdit *txtmapel = nullptr;
    QLineEdit *txtsks = nullptr;
    QLineEdit *txtinstruktur = nullptr;
    QLineEdit *txtNilangka = nullptr;
    QLineEdit *txtNilhuruf = nullptr;
    QLineEdit *txtbobot = nullptr;
    QLineEdit *txtmutu = nullptr;
    QLineEdit *txtPredik = nullptr;
    QLineEdit *txtket = nullptr;
    QPushButton *cmdSimpan = nullptr;
    QPushButton *CmdUpdate = nullptr;
    QPushButton *CmdDelete = nullptr;
    QPushButton *cmdBatal = nullptr;
    QPushButton *cmdKeluar = nullptr;
};

} // namespace pel
