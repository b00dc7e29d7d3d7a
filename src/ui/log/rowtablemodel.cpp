#include "log/rowtablemodel.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <QApplication>
#include <QBrush>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "due/duerules.h"
#include "log/costrules.h"
#include "log/maintrecords.h"
#include "storage/clock.h"
#include "storage/dates.h"
#include "storage/sorting.h"

namespace kov {

namespace {

bool isCostColumn(const QString &identifier)
{
    return identifier == col::cost || identifier == col::parts || identifier == col::labor ||
           identifier == col::tax;
}

// A small sheet of paper with a folded corner and text lines, drawn when
// the style offers no file icon.
QIcon drawnReceiptIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    const QPointF outline[] = {{3.5, 1.5}, {10.5, 1.5}, {13.5, 4.5}, {13.5, 14.5}, {3.5, 14.5}};
    p.drawPolygon(outline, 5);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
    for (qreal y : {7.5, 9.5, 11.5})
        p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
    return QIcon(pixmap);
}

} // namespace

RowTableModel::RowTableModel(RecordList *rows, QList<TableColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), rowList(rows), cols(std::move(columns))
{}

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
    const QString &identifier = cols[index.column()].identifier;
    const QVariant value = cellValue(index.row(), index.column());
    const bool amount = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
                        value.typeId() == QMetaType::Int;
    switch (role) {
    case Qt::DisplayRole:
        switch (value.typeId()) {
        case QMetaType::QDateTime:
            // Only a due list's next date can be never.
            if (isNeverDue(value.toDateTime()))
                return tr("Never");
            return NSDateUtilities::shortStyleFromDate(value.toDateTime());
        case QMetaType::QByteArray:
            return {};
        default:
            if (amount && isCostColumn(identifier))
                return copyFormatStringForTextField(value.toDouble(), pattern::moneyWithZero);
            return value;
        }
    case Qt::DecorationRole:
        if (identifier == col::receipt && value.typeId() == QMetaType::QByteArray &&
            !value.toByteArray().isEmpty()) {
            if (receiptIcon.isNull()) {
                const QStyle *style = QApplication::style();
                receiptIcon = style ? style->standardIcon(QStyle::SP_FileIcon) : QIcon();
                if (receiptIcon.isNull())
                    receiptIcon = drawnReceiptIcon();
            }
            return receiptIcon;
        }
        return {};
    case Qt::ToolTipRole:
        if (identifier == col::receipt && value.typeId() == QMetaType::QByteArray &&
            !value.toByteArray().isEmpty()) {
            const QUrl url = receiptUrlFromBookmark(value.toByteArray());
            return url.isEmpty() ? tr("A receipt stored on another computer")
                                 : QFileInfo(url.toLocalFile()).fileName();
        }
        return {};
    case Qt::TextAlignmentRole:
        if (amount)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::ForegroundRole:
        // Due now or overdue.
        if (identifier == col::nextdate && isOverdue(value, Clock::now()))
            return QBrush(Qt::red);
        return {};
    default:
        return {};
    }
}

QVariant RowTableModel::cellValue(int row, int column) const
{
    const Record &record = rowList->at(row);
    const QString &identifier = cols[column].identifier;
    return cellSource ? cellSource(record, identifier) : record.value(identifier);
}

Qt::ItemFlags RowTableModel::flags(const QModelIndex &index) const
{
    return QAbstractTableModel::flags(index) & ~Qt::ItemIsEditable;
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
    const QString &identifier = cols[column].identifier;
    if (!cellSource) {
        doSortWithArray(*rowList, identifier, order == Qt::AscendingOrder,
                        SortSelector::localizedStandardCompare);
    } else {
        // Sorted as rows of the one cell, each knowing its record.
        const QString position = identifier + QChar(u'\x01');
        RecordList keys;
        keys.reserve(rowList->size());
        for (int r = 0; r < rowList->size(); ++r) {
            Record key{{position, r}};
            if (const QVariant cell = cellValue(r, column); cell.isValid())
                key.insert(identifier, cell);
            keys.append(key);
        }
        doSortWithArray(keys, identifier, order == Qt::AscendingOrder,
                        SortSelector::localizedStandardCompare);
        RecordList sorted;
        sorted.reserve(keys.size());
        for (const Record &key : keys)
            sorted.append(rowList->at(key.value(position).toInt()));
        *rowList = std::move(sorted);
    }
    Q_EMIT layoutChanged();
}

int RowTableModel::columnOf(const QString &identifier) const
{
    for (int c = 0; c < cols.size(); ++c)
        if (cols[c].identifier == identifier)
            return c;
    return -1;
}

void RowTableModel::reload()
{
    beginResetModel();
    endResetModel();
}

namespace {

// Reports a press anywhere in the table (rows or empty space) as its single
// click; the double click that may follow comes after it, as on the Mac.
// Sorting by a header or moving the selection with the keyboard puts another
// record under the selection: Change and Delete must not then act on it as
// if it were the one loaded into the form.
class TableClickFilter : public QObject {
public:
    TableClickFilter(QTableView *table, std::function<void()> clicked)
        : QObject(table), onClick(std::move(clicked))
    {
        table->viewport()->installEventFilter(this);
        table->horizontalHeader()->viewport()->installEventFilter(this);
        if (QItemSelectionModel *selection = table->selectionModel())
            QObject::connect(selection, &QItemSelectionModel::currentRowChanged, this, [this] { onClick(); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            onClick();
        return false;
    }

private:
    std::function<void()> onClick;
};

} // namespace

void installTableClickFilter(QTableView *table, std::function<void()> clicked)
{
    new TableClickFilter(table, std::move(clicked));
}

} // namespace kov
