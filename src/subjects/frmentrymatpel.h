#pragma once

#include "db/result.h"
#include "db/subjectstatements.h"

#include <QWidget>

#include <optional>

class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pel {

namespace ui {
class DateBox;
}

// The subject entry screen: keeps the catalogue of subjects in Pelajaran.
// Its boxes are the record; the constructor is the screen's load.
class frmentrymatpel : public QWidget
{
    Q_OBJECT
public:
    explicit frmentrymatpel(QWidget *parent = nullptr);

    // The moving label's left edge in twips, inside the input frame.
    int label5Left() const { return m_label5Left; }

    // Handlers, named after control and event.
    bool txtkopel_KeyPress(QKeyEvent *event);
    bool MstglEntry_KeyPress(QKeyEvent *event);
    void cmdSimpan_Click();
    void CmdUpdate_Click();
    void CmdDelete_Click();
    void cmdBatal_Click();
    void cmdKeluar_Click();
    void Timer2_Timer();
    void Timer2Rest_Timeout();

    // How long the moving label rests before it starts again (ms).
    static constexpr int Label5RestMs = 1000;

private:
    db::SubjectText boxes() const;
    void showSubject(const db::SubjectText &subject);
    void emptyTextBoxes();
    void placeLabel5();
    void showFailure(const QString &what, const db::Result &result);
    void showNoSuchSubject();

    // The subject as this desk last read it; an Update writes only while
    // the stored row is still the same.
    std::optional<db::SubjectText> m_lookedUp;

    QLineEdit *txtkopel;
    QLineEdit *txtmapel;
    ui::DateBox *MstglEntry;
    QLineEdit *txtlokal;
    QLineEdit *txtinstruktur;
    QLineEdit *txtsks;
    QGroupBox *Frame1;
    QWidget *m_label5Row;
    QLabel *Label5;
    QPushButton *cmdSimpan;
    QPushButton *CmdUpdate;
    QPushButton *CmdDelete;
    QPushButton *cmdBatal;
    QPushButton *cmdKeluar;
    QTimer *Timer2;
    QTimer *Timer2Rest;
    int m_label5Left;
};

} // namespace pel
