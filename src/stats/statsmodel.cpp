#include "stats/statsmodel.h"

namespace pel::stats {

void TableModel::setTable(const Table &table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.rows.size());
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_table.columns.size());
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(m_table.rows.at(index.row()).at(index.column()), systemDecimalPoint());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter
                                   | (m_table.columns.at(index.column()).number ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? m_table.columns.at(section).title : QVariant();
    return section + 1;
}

} // namespace pel::stats
