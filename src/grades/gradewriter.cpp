#include "grades/gradewriter.h"

#include "db/connection.h"
#include "db/gradestatements.h"
#include "db/schema.h"
#include "grades/gradenumbers.h"
#include "grades/gradestore.h"

#include <QSqlError>
#include <QSqlQuery>

namespace pel::grades {

namespace {

// A key as the database compares it: letter case ignored for ASCII letters
// (SQLite's NOCASE; the server's citext agrees on them).
std::string folded(std::string key)
{
    for (char &c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return key;
}

std::string utf8(const QString &text)
{
    return text.toStdString();
}

QString text(const std::string &bytes)
{
    return QString::fromStdString(bytes);
}

} // namespace

GradeWriter::GradeWriter(const db::Connection &conn, Mode mode) : m_conn(conn), m_mode(mode) {}

GradeWriter::~GradeWriter() = default;

void GradeWriter::reserve(const QString &number)
{
    if (!number.isEmpty())
        m_reserved.insert(folded(utf8(number)));
}

db::Result GradeWriter::loadOwners()
{
    m_ownersLoaded = true;
    QSqlQuery query(m_conn.database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select Noreg, Nis from Nilai")))
        return m_conn.refused(query.lastError());
    while (query.next())
        m_owners.emplace(folded(utf8(query.value(0).toString())), utf8(query.value(1).toString()));
    if (query.lastError().isValid())
        return m_conn.refused(query.lastError());
    return db::Result::success();
}

db::Result GradeWriter::otherOwner(const std::string &number, const std::string &nis, std::string *owner)
{
    owner->clear();
    if (m_mode == Mode::Batch) {
        if (!m_ownersLoaded)
            if (const db::Result loaded = loadOwners(); !loaded.ok())
                return loaded;
        const auto found = m_owners.find(folded(number));
        if (found != m_owners.end() && folded(found->second) != folded(nis))
            *owner = found->second;
        return db::Result::success();
    }
    QSqlQuery query(m_conn.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select Nis from Nilai where Noreg = ? and Nis <> ?"));
    query.addBindValue(text(number));
    query.addBindValue(text(nis));
    if (!query.exec())
        return m_conn.refused(query.lastError());
    if (query.next())
        *owner = utf8(query.value(0).toString());
    return db::Result::success();
}

db::Result GradeWriter::draw(const std::string &nis, std::string *number)
{
    if (!m_lastKnown) {
        const db::Result last = NextRegistrationNumber(m_conn, &m_last);
        if (!last.ok())
            return last;
        m_lastKnown = true;
    } else {
        m_last = NextNumberAfter(m_last);
    }
    for (;;) {
        *number = utf8(m_last);
        std::string owner;
        if (const db::Result checked = otherOwner(*number, nis, &owner); !checked.ok())
            return checked;
        if (owner.empty() && !m_reserved.count(folded(*number)))
            return db::Result::success();
        m_last = NextNumberAfter(m_last);
    }
}

db::Result GradeWriter::choose(std::string &number, const std::string &nis, Numbering numbering)
{
    if (number.empty())
        return draw(nis, &number);
    std::string owner;
    if (const db::Result checked = otherOwner(number, nis, &owner); !checked.ok())
        return checked;
    if (owner.empty())
        return db::Result::success();
    if (numbering == Numbering::Given) {
        db::Result taken = db::Result::conflict();
        taken.reason = text(owner);
        return taken;
    }
    // Another desk saved another student under the number since it was
    // drawn: a new one, past every number of another student.
    return draw(nis, &number);
}

db::Result GradeWriter::insert(db::GradeRowValues &row, Numbering numbering, qint64 *rowId)
{
    const db::GradeRowValues values = ForStorage(row);
    if (const db::Result possible = PossibleNumbers(values); !possible.ok())
        return possible;
    std::string number = utf8(values.noreg);
    if (const db::Result chosen = choose(number, utf8(values.nis), numbering); !chosen.ok())
        return chosen;
    db::GradeRowValues stored = values;
    stored.noreg = text(number);
    // The server hands out no row id of its own: the insert returns Urutan.
    const bool server = m_conn.isPostgres();
    QSqlQuery insert(m_conn.database());
    if (!insert.exec(db::GradeInsertStatement(stored) + (server ? QStringLiteral(" returning Urutan") : QString())))
        return m_conn.refused(insert.lastError(), true);
    if (rowId)
        *rowId = server ? (insert.next() ? insert.value(0).toLongLong() : 0) : insert.lastInsertId().toLongLong();
    row.noreg = stored.noreg;
    return db::Result::success(1);
}

db::Result GradeWriter::number(std::string &number, const std::string &nis)
{
    return choose(number, nis, Numbering::Given);
}

db::Result GradeWriter::prepare()
{
    QList<int> sets;
    for (int i = 0; i < 14; ++i)
        if (i != 0 && i != 5)
            sets << i;
    m_rows = std::make_unique<db::TableWriter>(m_conn, QStringLiteral("Nilai"), db::schemaColumns(QStringLiteral("Nilai")));
    return m_rows->prepare(sets, {0, 5});
}

db::Result GradeWriter::insert(int tag, std::vector<db::Cell> &cells)
{
    if (const db::Result chosen = choose(cells[0].text, cells[2].text, Numbering::Given); !chosen.ok())
        return chosen;
    m_owners.emplace(folded(cells[0].text), cells[2].text);
    return m_rows->insert(tag, cells);
}

db::Result GradeWriter::update(int tag, const std::vector<db::Cell> &cells)
{
    return m_rows->update(tag, cells);
}

db::Result GradeWriter::flush()
{
    return m_rows ? m_rows->flush() : db::Result::success();
}

int GradeWriter::refusedTag() const
{
    return m_rows ? m_rows->refusedTag() : 0;
}

} // namespace pel::grades
