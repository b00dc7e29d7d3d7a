#include "log/rowtablemodel.h"

#include <QDateTime>
#include <QLocale>

#include "storage/sorting.h"

namespace kov {

RowTableModel::RowTableModel(RecordList *rows, QList<TableColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), rowList(rows), cols(std::move(columns))
{
}

int RowTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rowList->size());
}

int RowTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(cols.size());
}

QVariant RowTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowList->size() || index.column() >= cols.size())
        return {};
    const QVariant value = rowList->at(index.row()).value(cols[index.column()].identifier);
    if (role == Qt::DisplayRole) {
        switch (value.typeId()) {
        case QMetaType::QDateTime:
            return QLocale().toString(value.toDateTime().toLocalTime().date(), QLocale::ShortFormat);
        case QMetaType::Double:
            return QLocale().toString(value.toDouble(), 'f', 2);
        case QMetaType::QByteArray:
            return {};
        default:
            return value;
        }
    }
    if (role == Qt::TextAlignmentRole && value.typeId() == QMetaType::Double)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < cols.size())
        return cols[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void RowTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= cols.size())
        return;
    Q_EMIT layoutAboutToBeChanged();
    doSortWithArray(*rowList, cols[column].identifier, order == Qt::AscendingOrder,
                    SortSelector::localizedStandardCompare);
    Q_EMIT layoutChanged();
}

void RowTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

} // namespace kov
