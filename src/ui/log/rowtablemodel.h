// One model serves the five tables: it shows a controller-owned row list,
// a row's value under each column's identifier. Dates show as the local day
// in the locale's short style, costs as money, a receipt as an icon; the
// next date of the due list shows red once it has come.
#pragma once

#include <functional>

#include <QAbstractTableModel>
#include <QIcon>

class QTableView;

#include "storage/records.h"

namespace kov {

struct TableColumn {
    QString identifier;
    QString title;
};

class RowTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowTableModel(RecordList *rows, QList<TableColumn> columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Cells are read-only: an edit kept only in the row would make Change
    // and Delete miss the stored record.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Sorts the shown rows in place: dates by instant, amounts by value,
    // names as people order them; rows without the value first.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const QList<TableColumn> &columns() const { return cols; }
    // The column showing `identifier`, or -1.
    int columnOf(const QString &identifier) const;
    // Call after the row list changed.
    void reload();
    // The list holds source records rather than rows: a cell is `cell` of
    // the record and the column's identifier, worked out when it is shown.
    using CellSource = QVariant (*)(const Record &record, const QString &identifier);
    void setCellSource(CellSource cell) { cellSource = cell; }
    QVariant cellValue(int row, int column) const;

private:
    RecordList *rowList;
    CellSource cellSource = nullptr;
    QList<TableColumn> cols;
    mutable QIcon receiptIcon;
};

// Calls `clicked` for a press anywhere in the table (rows, empty space or a
// header) and whenever the current row moves: another record may then be
// under the selection than the one loaded into a form.
void installTableClickFilter(QTableView *table, std::function<void()> clicked);

} // namespace kov
