#pragma once

#include "grades/classgradestore.h"

#include <QAbstractTableModel>

#include <optional>

namespace pel::grades {

// The grid of the class grade screen: one row a student, the score the only
// editable column; letter, weight, quality points, predicate and remark
// follow the grading rule from the score's text as it stands. A score that
// is not a number (or an emptied grade that is stored) is invalid: its cell
// says so and its derived cells stay empty.
class ClassGradeModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Nis, Name, Score, Letter, Weight, Points, Predicate, Remark, ColumnCount };
    // True for a score cell whose text cannot be saved.
    static constexpr int InvalidRole = Qt::UserRole + 1;

    explicit ClassGradeModel(QObject *parent = nullptr);

    void setClass(const QList<ClassStudent> &students, const ClassSubject &subject);
    const ClassSubject &subject() const { return m_subject; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QString scoreText(int row) const { return m_rows.at(row).text; }
    bool isValid(int row) const;
    bool isChanged(int row) const;
    bool hasChanges() const;
    // The first row whose score cannot be saved, or -1.
    int firstInvalidRow() const;

    // The new and changed grades, in row order.
    QList<ClassGradeWrite> pendingWrites() const;
    // After a save: the written scores become the stored ones, and the added
    // rows are known from now on.
    void markSaved(const QList<ClassGradeWrite> &writes);

    // Scores copied from a spreadsheet column (one a line, the first cell of
    // each line), from firstRow down as far as the class goes. Returns how
    // many cells were filled; notPasted, when given, receives how many
    // lines found no row left.
    int pasteScores(int firstRow, const QString &text, int *notPasted = nullptr);
    // Puts score into every empty score cell; returns how many.
    int fillEmpty(const QString &score);

private:
    struct Entry
    {
        ClassStudent student;
        QString stored; // the stored score in the boxes' number form, empty when none
        std::optional<double> storedValue;
        QString text;   // the score as it stands in the grid
        std::optional<double> value;
    };
    void setScore(int row, const QString &text);
    QVariant derived(const Entry &entry, int column) const;

    QList<Entry> m_rows;
    ClassSubject m_subject;
};

} // namespace pel::grades
