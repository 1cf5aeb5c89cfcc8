#pragma once

#include "common/module1.h"
#include "search/recordbar.h"
#include "search/searchstore.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace pel {

namespace search {
struct SearchButton;
}

// The student search screen: finds students by one attribute, lists them in
// the grid and steps through the result with the record bar. It only reads.
class FrmCari : public QWidget
{
    Q_OBJECT
public:
    explicit FrmCari(QWidget *parent = nullptr);

    // What the main window's "&Cari Data" item does to the search buttons:
    // the NIS search button, enabled, is the only one seen.
    void resetSearchButtons();

private:
    void CmbOrder_Click(int index);
    void SearchStudents(const search::SearchButton &button);
    void cmdRef_Click();
    void AwlResi_Click();
    void MdrResi_Click();
    void MjuResi_Click();
    void AkhResi_Click();
    void cmdKeluar_Click();
    void dgData_RowColChange(int row);

    void ShowRecordPosition();
    void moveRecord(search::RecordMove move);
    // Shows what a search or list-all came to: the grid's new rows, or the
    // not-found message, or the refusal; then the position.
    void showOutcome(const db::Result &result, const QString &notFoundMessage);
    void showCurrentRowInGrid();

    QLineEdit *textData = nullptr;
    QComboBox *CmbOrder = nullptr;
    QList<QPushButton *> m_searchButtons; // in the order of search::searchButtons()
    QPushButton *cmdRef = nullptr;
    QPushButton *cmdKeluar = nullptr;
    QTableView *dgData = nullptr;
    QFrame *PicTgl = nullptr;
    QPushButton *AwlResi = nullptr;
    QPushButton *MdrResi = nullptr;
    QPushButton *MjuResi = nullptr;
    QPushButton *AkhResi = nullptr;
    QLabel *lblTgl = nullptr;

    search::SearchStore m_store{dbConnection, this};
    // Set while the screen itself moves the grid's current row.
    bool m_movingGrid = false;
};

} // namespace pel
