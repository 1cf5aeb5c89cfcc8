#include "grades/classgrademodel.h"

#include "grades/gradenumbers.h"
#include "grades/grading.h"

#include <QStringList>

#include <cmath>

namespace pel::grades {

namespace {

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

ClassGradeModel::ClassGradeModel(QObject *parent) : QAbstractTableModel(parent) {}

void ClassGradeModel::setClass(const QList<ClassStudent> &students, const ClassSubject &subject)
{
    beginResetModel();
    m_subject = subject;
    m_rows.clear();
    m_rows.reserve(students.size());
    for (const ClassStudent &student : students) {
        Entry entry;
        entry.student = student;
        if (!student.score.isNull()) {
            entry.storedValue = student.score.toDouble();
            entry.stored = FormatNumber(*entry.storedValue);
        }
        entry.text = entry.stored;
        entry.value = entry.storedValue;
        m_rows.append(entry);
    }
    endResetModel();
}

int ClassGradeModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ClassGradeModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ClassGradeModel::derived(const Entry &entry, int column) const
{
    if (!entry.value)
        return {};
    const Grade grade = GradeForScore(*entry.value);
    switch (column) {
    case Letter:
        return grade.letter;
    case Weight:
        return QString::number(grade.weight);
    case Predicate:
        return grade.predicate;
    case Remark:
        return grade.remark;
    case Points: {
        // A stored row keeps its own credit units; a new one takes the subject's.
        const QVariant credits = entry.student.gradeRowId != 0 && !entry.student.rowCredits.isNull()
                                     ? entry.student.rowCredits
                                     : m_subject.credits;
        if (credits.isNull())
            return {};
        const std::optional<double> units = ReadNumber(FormatNumber(credits.toDouble()));
        const double points = units ? QualityPoints(grade.weight, *units) : NAN;
        return std::isfinite(points) ? QVariant(FormatQualityPoints(points)) : QVariant();
    }
    default:
        return {};
    }
}

QVariant ClassGradeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Entry &entry = m_rows.at(index.row());
    const int column = index.column();
    if (role == InvalidRole)
        return column == Score && !isValid(index.row());
    if (role == Qt::ToolTipRole && column == Score && !isValid(index.row()))
        return QStringLiteral("Nilai angka tidak valid");
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment across = column == Score || column == Weight || column == Points ? Qt::AlignRight
                                     : column == Letter                                      ? Qt::AlignHCenter
                                                                                             : Qt::AlignLeft;
        return int(across | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (column) {
    case Nis:
        return entry.student.nis;
    case Name:
        return entry.student.name;
    case Score:
        return entry.text;
    default:
        return derived(entry, column);
    }
}

QVariant ClassGradeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const QStringList titles{QStringLiteral("NIS"),        QStringLiteral("Nama Siswa"),
                                    QStringLiteral("Nilai Angka"), QStringLiteral("Nilai Huruf"),
                                    QStringLiteral("Bobot"),       QStringLiteral("Nilai Mutu"),
                                    QStringLiteral("Prediket"),    QStringLiteral("Ket")};
    return titles.value(section);
}

Qt::ItemFlags ClassGradeModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Score)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ClassGradeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != Score || index.row() >= m_rows.size())
        return false;
    setScore(index.row(), value.toString());
    return true;
}

void ClassGradeModel::setScore(int row, const QString &text)
{
    Entry &entry = m_rows[row];
    if (entry.text == text)
        return;
    entry.text = text;
    entry.value = blank(text) ? std::nullopt : ReadNumber(text);
    emit dataChanged(index(row, Score), index(row, Remark));
}

bool ClassGradeModel::isValid(int row) const
{
    const Entry &entry = m_rows.at(row);
    if (blank(entry.text))
        return entry.stored.isEmpty(); // a stored grade is not emptied here
    return entry.value.has_value();
}

bool ClassGradeModel::isChanged(int row) const
{
    const Entry &entry = m_rows.at(row);
    if (entry.student.gradeRowId == 0)
        return !blank(entry.text);
    if (entry.text == entry.stored)
        return false;
    return !(entry.value && entry.storedValue && *entry.value == *entry.storedValue);
}

bool ClassGradeModel::hasChanges() const
{
    for (int row = 0; row < m_rows.size(); ++row)
        if (isChanged(row))
            return true;
    return false;
}

int ClassGradeModel::firstInvalidRow() const
{
    for (int row = 0; row < m_rows.size(); ++row)
        if (!isValid(row))
            return row;
    return -1;
}

QList<ClassGradeWrite> ClassGradeModel::pendingWrites() const
{
    QList<ClassGradeWrite> writes;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!isChanged(row) || !isValid(row))
            continue;
        ClassGradeWrite write;
        write.row = row;
        write.student = m_rows.at(row).student;
        write.score = m_rows.at(row).text;
        writes.append(write);
    }
    return writes;
}

void ClassGradeModel::markSaved(const QList<ClassGradeWrite> &writes)
{
    for (const ClassGradeWrite &write : writes) {
        if (write.row < 0 || write.row >= m_rows.size())
            continue;
        Entry &entry = m_rows[write.row];
        entry.stored = entry.text;
        entry.storedValue = entry.value;
        if (write.newRowId != 0) {
            entry.student.gradeRowId = write.newRowId;
            entry.student.rowCredits = m_subject.credits;
        }
        entry.student.score = entry.value ? QVariant(*entry.value) : QVariant();
    }
}

int ClassGradeModel::pasteScores(int firstRow, const QString &text, int *notPasted)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList cells = lines.split(QLatin1Char('\n'));
    // A copied column ends with a line break.
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    int filled = 0;
    for (const QString &line : cells) {
        const int row = firstRow + filled;
        if (row < 0 || row >= m_rows.size())
            break;
        setScore(row, line.section(QLatin1Char('\t'), 0, 0).trimmed());
        ++filled;
    }
    if (notPasted)
        *notPasted = int(cells.size()) - filled;
    return filled;
}

int ClassGradeModel::fillEmpty(const QString &score)
{
    int filled = 0;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (!blank(m_rows.at(row).text))
            continue;
        setScore(row, score);
        ++filled;
    }
    return filled;
}

} // namespace pel::grades
