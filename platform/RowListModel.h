#pragma once
// The rows of a RowList: text only, one text of line-fed fields per row,
// appended and removed without a reset so that a busy log never loses its
// view's place.
#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class RowListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowListModel(QStringList titles, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Clear();
    // Field n (the text between line feeds) goes into column n.
    void Append(const QString& row);
    // Appends rows, and removes them from the front, in one step each.
    void Append(const QStringList& rows);
    void Remove(int row, int count = 1);
    // Drops as many rows from the front as it appends: the rows keep their
    // places and show other texts.
    void Shift(const QStringList& rows);
    QString Cell(int row, int column) const;

private:
    QStringList m_titles;
    QStringList m_rows; // each row's fields joined by line feeds, as given
};
