#pragma once

#include "db/result.h"

#include <QAbstractListModel>
#include <QStringList>

// The NIS list of the report screen's two boxes: every student's NIS in the
// table's order, read a page at a time as the list is scrolled, so that the
// screen opens at once whatever the number of students. Both boxes share one.
namespace pel::db {
class Connection;
}

namespace pel::reports {

class NisListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // conn must outlive the model.
    NisListModel(const db::Connection &conn, QObject *parent = nullptr);

    // Reads the first page; a failure when the table cannot be read.
    db::Result start();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The same rows for a box's completer, which completes from the NIS read
    // so far: a completer asks for more rows each time rows arrive, which
    // would read the whole table when a box is given its list.
    QAbstractItemModel *readSoFar();

private:
    db::Result readPage();

    const db::Connection &m_conn;
    QAbstractItemModel *m_readSoFar = nullptr;
    QStringList m_nis;
    qint64 m_after = 0;
    bool m_atEnd = false;
};

} // namespace pel::reports
