#include "common/operatorstore.h"

#include "common/password.h"
#include "db/connection.h"
#include "db/loginstatements.h"
#include "db/recordset.h"
#include "db/statement.h"
#include "db/transaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace pel {

namespace {

db::Result run(const db::Connection &conn, QSqlQuery &query, const QVariantList &values)
{
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return conn.refused(query.lastError());
    return db::Result::success(query.numRowsAffected());
}

// The user ID compared with letter case counting: SQLite's column compares
// without it unless told, the server's citext column does once read as text.
QString exactUserId(const db::Connection &connection)
{
    return connection.isPostgres() ? QStringLiteral("userid::text = ?") : QStringLiteral("userid = ? collate binary");
}

// The column that names one row of t_petugas, and orders the rows as they
// were added: SQLite's rowid, the server's Urutan.
QString rowKey(const db::Connection &connection)
{
    return connection.isPostgres() ? QStringLiteral("Urutan") : QStringLiteral("rowid");
}

// The user ID matched trimmed and without regard to letter case, alike on
// both engines (trim() gives the server plain text, which compares with
// letter case counting).
const QString SameUserId = QStringLiteral("lower(trim(userid)) = lower(?)");

} // namespace

db::Result OperatorStore::checkLogin(const QString &userId, const QString &password, Operator *granted) const
{
    db::Recordset operators;
    if (const db::Result read = operators.open(db::selectOperators(), m_connection); !read.ok())
        return read;
    const QString user = userId.trimmed();
    for (operators.moveFirst(); !operators.eof(); operators.moveNext()) {
        const QVariant rowUser = operators.value(QStringLiteral("userid"));
        const QVariant rowPassword = operators.value(QStringLiteral("password"));
        if (rowUser.isNull() || rowPassword.isNull() || rowUser.toString().trimmed() != user)
            continue;
        const QString stored = rowPassword.toString();
        if (!passwordMatches(stored, password))
            continue;
        if (!isPasswordHash(stored)) {
            // An older file's password kept as text: replaced by its hash
            // now. A failure here leaves the row as it was and still lets the
            // operator in.
            const QString hash = hashPassword(stored);
            QSqlQuery update(m_connection.database());
            update.prepare(QStringLiteral("update t_petugas set password = ? where %1 and password = ?")
                               .arg(exactUserId(m_connection)));
            if (!hash.isEmpty())
                run(m_connection, update, {hash, rowUser.toString(), stored});
        }
        if (granted)
            *granted = {rowUser.toString(), operators.value(QStringLiteral("nama")).toString(),
                        operators.value(QStringLiteral("level")).toString()};
        m_connection.setOperator(rowUser.toString().trimmed());
        return db::Result::success();
    }
    return db::Result::notFound();
}

db::Result OperatorStore::nameOf(const QString &userId, QString *name) const
{
    db::Recordset named;
    const db::Result found = db::find(m_connection, db::selectOperatorByUserId(userId), &named);
    if (found.ok())
        *name = named.value(QStringLiteral("nama")).toString();
    return found;
}

db::Result OperatorStore::list(QList<Operator> *operators) const
{
    QSqlQuery query(m_connection.database());
    if (!query.exec(QStringLiteral("select userid, nama, level from t_petugas")))
        return m_connection.refused(query.lastError());
    while (query.next())
        operators->append({query.value(0).toString(), query.value(1).toString(), query.value(2).toString()});
    return db::Result::success();
}

db::Result OperatorStore::add(const Operator &op, const QString &password) const
{
    if (op.userId.trimmed().isEmpty() || password.trimmed().isEmpty())
        return db::Result::rejected(db::Result::Kind::BadValue, QStringLiteral("user ID dan password tidak boleh kosong"));
    db::Transaction transaction(m_connection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();
    QSqlQuery exists(m_connection.database());
    exists.prepare(QStringLiteral("select count(*) from t_petugas where ") + SameUserId);
    if (const db::Result result = run(m_connection, exists, {op.userId.trimmed()}); !result.ok())
        return result;
    exists.next();
    if (exists.value(0).toInt() > 0)
        return db::Result::rejected(db::Result::Kind::DuplicateKey, QStringLiteral("petugas %1 sudah ada").arg(op.userId));
    const QString hash = hashPassword(password);
    if (hash.isEmpty())
        return db::Result::rejected(db::Result::Kind::BadValue, QStringLiteral("password tidak dapat di-hash"));
    QSqlQuery insert(m_connection.database());
    insert.prepare(QStringLiteral("insert into t_petugas (userid, nama, password, level) values (?, ?, ?, ?)"));
    if (const db::Result result = run(m_connection, insert, {op.userId, op.name, hash, op.level}); !result.ok())
        return result;
    if (!transaction.commit())
        return transaction.lastError();
    return db::Result::success(1);
}

db::Result OperatorStore::resolve(const QString &userId, QVariant *row) const
{
    QSqlQuery query(m_connection.database());
    query.prepare(QStringLiteral("select %1, trim(userid) from t_petugas where ").arg(rowKey(m_connection)) + SameUserId);
    if (const db::Result result = run(m_connection, query, {userId.trimmed()}); !result.ok())
        return result;
    QVariantList exact;
    QVariantList anyCase;
    while (query.next()) {
        anyCase << query.value(0);
        if (query.value(1).toString() == userId.trimmed())
            exact << query.value(0);
    }
    const QVariantList &candidates = exact.isEmpty() ? anyCase : exact;
    if (candidates.isEmpty())
        return db::Result::rejected(db::Result::Kind::NotFound, QStringLiteral("petugas %1 tidak ada").arg(userId));
    if (candidates.size() > 1)
        return db::Result::rejected(db::Result::Kind::Conflict,
                                   QStringLiteral("ada %1 petugas bernama %2").arg(candidates.size()).arg(userId));
    *row = candidates.first();
    return db::Result::success();
}

db::Result OperatorStore::setPassword(const QString &userId, const QString &password) const
{
    if (password.trimmed().isEmpty())
        return db::Result::rejected(db::Result::Kind::BadValue, QStringLiteral("password tidak boleh kosong"));
    const QString hash = hashPassword(password);
    if (hash.isEmpty())
        return db::Result::rejected(db::Result::Kind::BadValue, QStringLiteral("password tidak dapat di-hash"));
    return changeOne(userId, QStringLiteral("update t_petugas set password = ? where %1 = ?"), {hash});
}

db::Result OperatorStore::remove(const QString &userId) const
{
    return changeOne(userId, QStringLiteral("delete from t_petugas where %1 = ?"), {});
}

db::Result OperatorStore::changeOne(const QString &userId, const QString &sql, QVariantList values) const
{
    db::Transaction transaction(m_connection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();
    QVariant row;
    if (const db::Result result = resolve(userId, &row); !result.ok())
        return result;
    QSqlQuery query(m_connection.database());
    query.prepare(sql.arg(rowKey(m_connection)));
    values << row;
    const db::Result done = run(m_connection, query, values);
    if (done.ok() && !transaction.commit())
        return transaction.lastError();
    return done;
}

db::Result OperatorStore::rehashAll(int *converted) const
{
    *converted = 0;
    db::Transaction transaction(m_connection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();
    const QString key = rowKey(m_connection);
    QSqlQuery query(m_connection.database());
    if (!query.exec(QStringLiteral("select %1, password from t_petugas where password is not null").arg(key)))
        return m_connection.refused(query.lastError());
    QList<QPair<QVariant, QString>> plain;
    while (query.next())
        if (!isPasswordHash(query.value(1).toString()))
            plain.append({query.value(0), query.value(1).toString()});
    QSqlQuery update(m_connection.database());
    update.prepare(QStringLiteral("update t_petugas set password = ? where %1 = ?").arg(key));
    for (const auto &[row, password] : plain) {
        const QString hash = hashPassword(password);
        if (hash.isEmpty())
            return db::Result::rejected(db::Result::Kind::BadValue, QStringLiteral("password tidak dapat di-hash"));
        if (const db::Result result = run(m_connection, update, {hash, row}); !result.ok())
            return result;
    }
    if (!transaction.commit())
        return transaction.lastError();
    *converted = int(plain.size());
    return db::Result::success(int(plain.size()));
}

} // namespace pel
