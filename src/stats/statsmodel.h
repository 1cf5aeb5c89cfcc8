#pragma once

#include "stats/statstext.h"

#include <QAbstractTableModel>

// The grid of a statistics view: a table model over the view's table, its
// cells as the fixed-width text shows them (the system's decimal sign),
// numbers right-aligned.
namespace pel::stats {

class TableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(const Table &table);
    const Table &table() const { return m_table; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Table m_table;
};

} // namespace pel::stats
