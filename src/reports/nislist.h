#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The NIS list of the report screen's two boxes: every student's NIS in the
// table's order, read a page at a time as the list is scrolled, so that the
// screen opens at once whatever the number of students. Both boxes share one.
namespace pel::reports {

class NisListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit NisListModel(QObject *parent = nullptr);

    // Reads the first page. False, with the database's reason in *error,
    // when the table cannot be read.
    bool start(QString *error);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The same rows for a box's completer, which completes from the NIS read
    // so far: a completer asks for more rows each time rows arrive, which
    // would read the whole table when a box is given its list.
    QAbstractItemModel *readSoFar();

private:
    bool readPage(QString *error);


    QAbstractItemModel *m_readSoFar = nullptr;
    QStringList m_nis;
    qint64 m_after = 0;
    bool m_atEnd = false;
};

} // namespace pel::reports
