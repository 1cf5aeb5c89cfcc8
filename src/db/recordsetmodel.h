#pragma once

#include "db/recordset.h"

#include <QAbstractTableModel>

namespace pel::db {

// Read-only table model over a recordset: column headings are the field
// names, cells the values as text. The rows stay in the recordset. A
// recordset read by pages may fail to read a page the view asks for (the
// server gone, the file locked): its cells then read empty, and pageRefused
// tells once, after the view's painting, so that the screen can say why.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRecordset(const Recordset &recordset);
    const Recordset &recordset() const { return m_recordset; }

signals:
    void pageRefused(const pel::db::Result &failure);
public:

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Recordset m_recordset;
    bool m_told = false; // the refusal of this recordset was told
};

} // namespace pel::db
