#include "app/FrmUtama.h"

#include "ui/screens.h"

namespace pel {

FrmUtama::FrmUtama(QWidget *parent) : QMainWindow(parent) {}

bool FrmUtama::start()
{
    ui::showScreen<FrmUtama>();
    return true;
}

void FrmUtama::entridatamaha_Click() {}
void FrmUtama::entryPelajaran_Click() {}
void FrmUtama::entran1_Click() {}
void FrmUtama::searchdata_Click() {}
void FrmUtama::reporttransaction_Click() {}
void FrmUtama::prog_Click() {}
void FrmUtama::ggg_Click() {}

namespace ui {
QWidget *showMainWindow()
{
    return showScreen<FrmUtama>();
}

void hideMainWindow()
{
    if (auto *window = openScreen<FrmUtama>())
        window->hide();
}
} // namespace ui

} // namespace pel
