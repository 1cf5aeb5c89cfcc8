#pragma once

#include "db/studentstatements.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pel {

namespace ui {
class DateBox;
}

// "Entri Data Siswa": one student of SISWA at a time. The boxes are the
// record; a lookup by NIS fills them, Save, Update and Delete write them.
// The constructor is the screen's load.
class FrmEntri : public QWidget
{
    Q_OBJECT
public:
    explicit FrmEntri(QWidget *parent = nullptr);

    // Handlers, named after their control and event.
    bool txtnis_KeyPress(QKeyEvent *event);
    void cmdSimpan_Click();
    void CmdUpdate_Click();
    void CmdDelete_Click();
    void cmdBatal_Click();
    void cmdKeluar_Click();
    void Timer1_Timer();

private:
    void buildContents();
    void wireEnterFlow();
    void lookupNis();
    db::StudentRecord boxes() const;
    bool fillBoxes(const db::StudentRecord &student);
    // Empties NIS, the text boxes and the combo boxes; the dates stay.
    void clearBoxes(bool keepNis);

    // The student as this desk last read it; an Update writes only while
    // the stored row is still the same.
    std::optional<db::StudentRecord> m_lookedUp;

    QLineEdit *txtnis = nullptr;
    QLineEdit *txtnama = nullptr;
    QLineEdit *txttempat = nullptr;
    ui::DateBox *Mstgllahir = nullptr;
    QLineEdit *txtalamat = nullptr;
    QComboBox *Combo1 = nullptr;
    QComboBox *Combo2 = nullptr;
    ui::DateBox *MstglMasuk = nullptr;
    QLineEdit *txtprogram = nullptr;
    QLineEdit *txtlevel = nullptr;
    QLineEdit *txtasal = nullptr;
    QLineEdit *txttelp = nullptr;

    QPushButton *cmdSimpan = nullptr;
    QPushButton *CmdUpdate = nullptr;
    QPushButton *cmdBatal = nullptr;
    QPushButton *CmdDelete = nullptr;
    QPushButton *cmdKeluar = nullptr;

    QLabel *Label28 = nullptr;
    QLabel *Label29 = nullptr;
    QTimer *Timer1 = nullptr;
};

} // namespace pel
