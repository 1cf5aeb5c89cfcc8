#include "search/FrmCari.h"

#include "db/failure.h"
#include "db/recordsetmodel.h"
#include "search/searchbuttons.h"
#include "ui/keys.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/screens.h"
#include "ui/surroundings.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace pel {

FrmCari::FrmCari(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmCari"));
    setWindowTitle(QStringLiteral("Search Data"));
    resize(820, 600);

    auto *title = new QLabel(QStringLiteral("CARI DATA SISWA"), this);
    title->setObjectName(QStringLiteral("lblJudul"));
    title->setAlignment(Qt::AlignHCenter);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 6);
    title->setFont(titleFont);

    textData = new QLineEdit(this);
    textData->setObjectName(QStringLiteral("textData"));
    CmbOrder = new QComboBox(this);
    CmbOrder->setObjectName(QStringLiteral("CmbOrder"));
    CmbOrder->addItems(search::searchCategories());
    CmbOrder->setCurrentIndex(-1);

    cmdRef = ui::named<QPushButton>(QStringLiteral("cmdRef"), this, QStringLiteral("&All"));
    cmdKeluar = ui::named<QPushButton>(QStringLiteral("cmdKeluar"), this, QStringLiteral("&Exit"));

    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("Data"), this), 0, 0);
    form->addWidget(textData, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Order"), this), 1, 0);
    form->addWidget(CmbOrder, 1, 1);
    // The eleven search buttons stand in one place; the category decides
    // which one is seen.
    const QList<search::SearchButton> &buttons = search::searchButtons();
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton *button = ui::named<QPushButton>(buttons.at(i).name, this, QStringLiteral("&Search"));
        form->addWidget(button, 1, 2);
        m_searchButtons << button;
        connect(button, &QPushButton::clicked, this, [this, i] { SearchStudents(search::searchButtons().at(i)); });
    }
    form->addWidget(cmdRef, 1, 3);
    form->addWidget(cmdKeluar, 1, 4);
    form->setColumnStretch(1, 1);

    dgData = new QTableView(this);
    dgData->setObjectName(QStringLiteral("dgData"));
    dgData->setModel(m_store.gridModel());
    // A page of the result that could not be read shows empty cells; the
    // operator is told why.
    connect(m_store.gridModel(), &db::RecordsetModel::pageRefused, this, [this](const db::Result &failure) {
        ui::showFailure(QStringLiteral("Data siswa tidak dapat dibaca."), failure, {}, ui::Icon::Critical, this);
    });
    dgData->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgData->setSelectionMode(QAbstractItemView::SingleSelection);
    dgData->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgData->setWordWrap(false);
    // Tab leaves the grid for the next control instead of stepping through its cells.
    dgData->setTabKeyNavigation(false);
    // Every row has the same height, so that a result of many thousand rows
    // lays out and scrolls without measuring its rows.
    dgData->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dgData->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Column widths are measured on the first rows of a result (those in
    // view and a few more), which the grid has read anyway, rather than on a
    // thousand rows read for that alone.
    dgData->verticalHeader()->setResizeContentsPrecision(64);
    connect(dgData->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { dgData_RowColChange(current.row()); });

    PicTgl = new QFrame(this);
    PicTgl->setObjectName(QStringLiteral("PicTgl"));
    PicTgl->setFrameShape(QFrame::StyledPanel);
    AwlResi = ui::named<QPushButton>(QStringLiteral("AwlResi"), PicTgl, QStringLiteral("<<"));
    MdrResi = ui::named<QPushButton>(QStringLiteral("MdrResi"), PicTgl, QStringLiteral("<"));
    MjuResi = ui::named<QPushButton>(QStringLiteral("MjuResi"), PicTgl, QStringLiteral(">"));
    AkhResi = ui::named<QPushButton>(QStringLiteral("AkhResi"), PicTgl, QStringLiteral(">>"));
    lblTgl = new QLabel(PicTgl);
    lblTgl->setObjectName(QStringLiteral("lblTgl"));
    auto *bar = new QHBoxLayout(PicTgl);
    for (QPushButton *button : {AwlResi, MdrResi, MjuResi, AkhResi})
        bar->addWidget(button);
    bar->addWidget(lblTgl, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addWidget(dgData, 1);
    layout->addWidget(PicTgl);

    QList<QWidget *> tabOrder{dgData, cmdRef, PicTgl, AwlResi, MdrResi, MjuResi, AkhResi, cmdKeluar};
    for (const char *name : {"CmdProgram", "CmbOrder", "textData", "CmdTglMasuk", "CmdJekel", "Cmdnama", "cmdnis",
                             "cmdtptlahir", "Cmdjeniskelamin", "Cmdagama", "cmdasalsekolah", "cmdalamat",
                             "cmdtgllahir"})
        tabOrder << findChild<QWidget *>(QString::fromLatin1(name));
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    ui::enterMovesTo(textData, CmbOrder, search::EmptySearchTextMessage, true);
    connect(CmbOrder, &QComboBox::activated, this, &FrmCari::CmbOrder_Click);
    connect(cmdRef, &QPushButton::clicked, this, &FrmCari::cmdRef_Click);
    connect(AwlResi, &QPushButton::clicked, this, &FrmCari::AwlResi_Click);
    connect(MdrResi, &QPushButton::clicked, this, &FrmCari::MdrResi_Click);
    connect(MjuResi, &QPushButton::clicked, this, &FrmCari::MjuResi_Click);
    connect(AkhResi, &QPushButton::clicked, this, &FrmCari::AkhResi_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &FrmCari::cmdKeluar_Click);
    ui::pressOnEnterAll(this);

    resetSearchButtons();
    ui::moveFocus(textData);
}

void FrmCari::resetSearchButtons()
{
    for (QPushButton *button : std::as_const(m_searchButtons)) {
        const bool nis = button->objectName() == search::NisButtonName;
        button->setVisible(nis);
        if (nis)
            button->setEnabled(true);
    }
}

void FrmCari::CmbOrder_Click(int index)
{
    const search::SearchButton *chosen = search::searchButtonForCategory(CmbOrder->itemText(index));
    if (!chosen)
        return;
    QPushButton *forward = nullptr;
    for (QPushButton *button : std::as_const(m_searchButtons)) {
        if (button->objectName() == chosen->name)
            forward = button;
        else
            button->hide();
    }
    forward->setVisible(true);
    forward->setEnabled(true);
    ui::moveFocus(forward);
}

void FrmCari::SearchStudents(const search::SearchButton &button)
{
    m_movingGrid = true;
    const db::Result result = m_store.searchStudents(button, textData->text());
    m_movingGrid = false;
    showOutcome(result, search::notFoundMessage(button));
}

void FrmCari::cmdRef_Click()
{
    m_movingGrid = true;
    const db::Result result = m_store.listAllStudents();
    m_movingGrid = false;
    showOutcome(result, search::listAllNotFoundMessage());
}

void FrmCari::showOutcome(const db::Result &result, const QString &notFoundMessage)
{
    if (result.kind == db::Result::Kind::NotFound) {
        ui::showMessage(notFoundMessage, search::NotFoundTitle, ui::Icon::Critical, ui::Buttons::Ok, this);
    } else if (!result.ok()) {
        // The grid keeps the rows it shows; the label counted a result that is gone.
        lblTgl->clear();
        ui::showFailure(QStringLiteral("Data siswa tidak dapat dicari."), result, {}, ui::Icon::Critical, this);
        return;
    } else {
        dgData->resizeColumnsToContents();
        showCurrentRowInGrid();
    }
    ShowRecordPosition();
}

void FrmCari::AwlResi_Click()
{
    moveRecord(search::RecordMove::First);
}

void FrmCari::MdrResi_Click()
{
    moveRecord(search::RecordMove::Previous);
}

void FrmCari::MjuResi_Click()
{
    moveRecord(search::RecordMove::Next);
}

void FrmCari::AkhResi_Click()
{
    moveRecord(search::RecordMove::Last);
}

void FrmCari::cmdKeluar_Click()
{
    ui::closeAndShowMainWindow(this);
}

void FrmCari::moveRecord(search::RecordMove move)
{
    bool beep = false;
    const db::Result moved = m_store.move(move, &beep);
    if (!moved.ok()) {
        ui::showMessage(db::failureMessage(moved), QString(), ui::Icon::None, ui::Buttons::Ok, this);
        return;
    }
    if (beep)
        ui::surroundings().beep();
    showCurrentRowInGrid();
    ShowRecordPosition();
}

void FrmCari::ShowRecordPosition()
{
    if (const db::Result open = m_store.readable(); !open.ok()) {
        ui::showMessage(db::failureMessage(open), QString(), ui::Icon::None, ui::Buttons::Ok, this);
        return;
    }
    lblTgl->setText(m_store.positionText());
}

void FrmCari::showCurrentRowInGrid()
{
    const int row = m_store.currentGridRow();
    if (row < 0)
        return;
    const QModelIndex index = dgData->model()->index(row, qMax(0, dgData->currentIndex().column()));
    m_movingGrid = true;
    dgData->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dgData->scrollTo(index);
    m_movingGrid = false;
}

void FrmCari::dgData_RowColChange(int row)
{
    // Picking a row in the grid makes it the result's current row, as long as
    // the grid shows the result the record bar moves through.
    if (m_movingGrid || !m_store.pickGridRow(row))
        return;
    ShowRecordPosition();
}

} // namespace pel
