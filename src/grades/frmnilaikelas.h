#pragma once

#include "db/result.h"

#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace pel {

namespace grades {
class ClassGradeModel;
}
namespace ui {
class DateBox;
}

// "Entri Nilai Kelas": the grades of a whole class for one subject in one
// grid. The subject is looked up as on the grade screen; the class is chosen
// by programme, level and the start of the NIS; each score typed or pasted
// shows its letter, weight, quality points, predicate and remark at once,
// and Save writes every new and changed grade together.
class frmnilaikelas : public QWidget
{
    Q_OBJECT
public:
    explicit frmnilaikelas(QWidget *parent = nullptr);

    grades::ClassGradeModel *gradeModel() const { return m_model; }

    // Handlers, named after their control and event.
    void txtkopel_KeyPress();
    void cmdTampil_Click();
    void cmdSimpan_Click();
    void cmdKeluar_Click();
    void dgNilai_Paste();
    void mnuIsiKosong_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void wireControls();
    void fillClassLists();
    // Looks the typed subject up unless it is the one already shown.
    bool subjectReady();
    bool lookUpSubject();
    // True when there is nothing unsaved, or the operator lets it go for
    // action ("Tutup", ...).
    bool mayDropChanges(const QString &action);
    void focusScore(int row);
    void reportFailure(const QString &text, const db::Result &result);

    QLineEdit *txtkopel = nullptr;
    QLineEdit *txtmapel = nullptr;
    QLineEdit *txtsks = nullptr;
    QLineEdit *txtinstruktur = nullptr;
    ui::DateBox *MstglProses = nullptr;
    QComboBox *cmbProgram = nullptr;
    QComboBox *cmbLevel = nullptr;
    QLineEdit *txtawalnis = nullptr;
    QPushButton *cmdTampil = nullptr;
    QTableView *dgNilai = nullptr;
    QLabel *lblJumlah = nullptr;
    QAction *mnuTempel = nullptr;
    QAction *mnuIsiKosong = nullptr;
    QPushButton *cmdSimpan = nullptr;
    QPushButton *cmdKeluar = nullptr;

    // The class and the subject its lookup found (none before the first).
    grades::ClassGradeModel *m_model = nullptr;
};

} // namespace pel
