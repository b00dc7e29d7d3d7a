// One model serves the five tables: it shows a controller-owned row list,
// a row's value under each column's identifier.
#pragma once

#include <QAbstractTableModel>

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
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const QList<TableColumn> &columns() const { return cols; }
    // Call after the row list changed.
    void reload();

private:
    RecordList *rowList;
    QList<TableColumn> cols;
};

} // namespace kov
