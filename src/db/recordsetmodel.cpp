#include "db/recordsetmodel.h"

namespace pel::db {

void RecordsetModel::setRecordset(const Recordset &recordset)
{
    beginResetModel();
    m_recordset = recordset;
    m_told = false;
    endResetModel();
}

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_recordset.recordCount();
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_recordset.fieldCount();
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const QVariant value = m_recordset.value(index.row(), index.column());
    if (const Result failure = m_recordset.failure(); !failure.ok() && !m_told) {
        auto *self = const_cast<RecordsetModel *>(this);
        self->m_told = true;
        QMetaObject::invokeMethod(self, [self, failure] { emit self->pageRefused(failure); }, Qt::QueuedConnection);
    }
    return value.toString();
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_recordset.fieldNames().value(section);
    return section + 1;
}

} // namespace pel::db
