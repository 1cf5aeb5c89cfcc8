#pragma once

#include "db/result.h"

#include <QList>
#include <QString>
#include <QVariant>


namespace pel {

namespace db {
class Connection;
}

// One row of t_petugas, without its password.
struct Operator
{
    QString userId;
    QString name;
    QString level;
};

// The operator table: the login's check and name lookup, and the keeping of
// operators by the administration tool. Passwords go in as hashes only.
class OperatorStore
{
public:
    explicit OperatorStore(const db::Connection &connection) : m_connection(connection) {}

    // The login check over "select * from t_petugas", rows in natural order:
    // the first row whose user ID, trimmed, equals userId trimmed, and whose
    // password matches (both trimmed, letter case counting) grants; the
    // connection's audit rows then name that user ID. A row that still
    // held its password as text gets its hash now. NotFound when no row
    // matches; Failure when the table cannot be read.
    db::Result checkLogin(const QString &userId, const QString &password, Operator *granted) const;

    // The name of the first operator whose user ID equals userId as typed
    // (letter case ignored, not trimmed), as the login's welcome shows it;
    // NotFound when there is none.
    db::Result nameOf(const QString &userId, QString *name) const;

    // Every operator, in the table's natural order.
    db::Result list(QList<Operator> *operators) const;

    // Adds an operator. DuplicateKey when an operator with the same user ID,
    // trimmed and without regard to letter case, exists; BadValue for an
    // empty user ID or password or a password that cannot be hashed.
    db::Result add(const Operator &op, const QString &password) const;

    // Gives exactly the named operator a new password; removes exactly the
    // named operator. The name is matched trimmed: an exact match first,
    // else the only match without regard to letter case. NotFound when none
    // is left, Conflict when several differ only in letter case.
    db::Result setPassword(const QString &userId, const QString &password) const;
    db::Result remove(const QString &userId) const;

    // Replaces every password still kept as text by its hash; converted
    // counts the rows changed.
    db::Result rehashAll(int *converted) const;

private:
    // Within a transaction holding the write lock: the key of the one row
    // the name means (see setPassword()).
    db::Result resolve(const QString &userId, QVariant *row) const;
    // Runs sql on the one operator userId names, in a transaction holding the
    // write lock: its "%1" becomes the row's key column, its "?" take values
    // and, last, the row's key.
    db::Result changeOne(const QString &userId, const QString &sql, QVariantList values) const;

    const db::Connection &m_connection;
};

} // namespace pel
