#include "reports/nislist.h"

#include "reports/reportstore.h"

#include <QIdentityProxyModel>

namespace pel::reports {

namespace {
constexpr int PageSize = 256;

class WithoutFetching : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    bool canFetchMore(const QModelIndex &) const override { return false; }
    void fetchMore(const QModelIndex &) override {}
};
} // namespace

NisListModel::NisListModel(const db::Connection &conn, QObject *parent) : QAbstractListModel(parent), m_conn(conn) {}

db::Result NisListModel::start()
{
    beginResetModel();
    m_nis.clear();
    m_after = 0;
    m_atEnd = false;
    const db::Result read = readPage();
    endResetModel();
    return read;
}

db::Result NisListModel::readPage()
{
    QStringList page;
    const db::Result result = store::nisPage(m_conn, &m_after, PageSize, &page);
    if (!result.ok()) {
        m_atEnd = true;
        return result;
    }
    m_atEnd = page.size() < PageSize;
    m_nis += page;
    return result;
}

int NisListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_nis.size());
}

QVariant NisListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_nis.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_nis.at(index.row());
}

bool NisListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_atEnd;
}

void NisListModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_atEnd)
        return;
    qint64 after = m_after;
    QStringList page;
    if (!store::nisPage(m_conn, &after, PageSize, &page).ok() || page.isEmpty()) {
        m_atEnd = true;
        return;
    }
    beginInsertRows({}, int(m_nis.size()), int(m_nis.size() + page.size() - 1));
    m_nis += page;
    m_after = after;
    m_atEnd = page.size() < PageSize;
    endInsertRows();
}

QAbstractItemModel *NisListModel::readSoFar()
{
    if (!m_readSoFar) {
        auto *proxy = new WithoutFetching(this);
        proxy->setSourceModel(this);
        m_readSoFar = proxy;
    }
    return m_readSoFar;
}

} // namespace pel::reports
