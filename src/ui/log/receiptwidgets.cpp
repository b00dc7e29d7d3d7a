#include "log/receiptwidgets.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QTimer>

namespace kov {

ReceiptKind receiptKindOf(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return ReceiptKind::None;
    const QMimeDatabase types;
    QMimeType type = types.mimeTypeForFile(path, QMimeDatabase::MatchContent);
    if (type.isDefault())
        type = types.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (type.inherits(QStringLiteral("application/pdf")))
        return ReceiptKind::Pdf;
    if (type.name().startsWith(QLatin1String("image/")))
        return ReceiptKind::Image;
    return ReceiptKind::None;
}

QUrl acceptableReceiptFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QUrl url = data->urls().value(0);
    if (!url.isLocalFile() || receiptKindOf(url.toLocalFile()) == ReceiptKind::None)
        return {};
    return QUrl::fromLocalFile(url.toLocalFile());
}

ReceiptNotifier *ReceiptNotifier::instance()
{
    static ReceiptNotifier notifier;
    return &notifier;
}

namespace {

// Link when the source offers it, else copy. Never move: a source that
// honours a move would delete the user's receipt after the drop.
bool answerDrag(QDropEvent *event)
{
    if (acceptableReceiptFile(event->mimeData()).isEmpty())
        return false;
    const Qt::DropActions offered = event->possibleActions();
    if (offered & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else if (offered & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else
        return false;
    event->accept();
    return true;
}

// A focus ring around the widget, 4 points in, nothing inside it.
void drawRing(QWidget *widget)
{
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor ring = widget->palette().color(QPalette::Highlight);
    ring.setAlpha(200);
    painter.setPen(QPen(ring, 3));
    painter.setBrush(Qt::NoBrush);
    const QRectF frame = QRectF(0, 0, widget->width(), widget->height() - 1).adjusted(4, 4, -4, -4);
    painter.drawRoundedRect(frame, 4, 4);
}

} // namespace

KOVDropButton::KOVDropButton(QWidget *parent) : QPushButton(parent)
{
    setAcceptDrops(true);
}

void KOVDropButton::draggingExited()
{
    dragInside = false;
    update();
}

void KOVDropButton::concludeDragOperation()
{
    click();
    draggingExited();
}

void KOVDropButton::dragEnterEvent(QDragEnterEvent *event)
{
    if (!answerDrag(event))
        return event->ignore();
    dragInside = true;
    update();
}

void KOVDropButton::dragLeaveEvent(QDragLeaveEvent *)
{
    draggingExited();
}

void KOVDropButton::dropEvent(QDropEvent *event)
{
    if (!answerDrag(event)) {
        draggingExited();
        return event->ignore();
    }
    ReceiptNotifier::instance()->post(acceptableReceiptFile(event->mimeData()));
    // Opened once the drag has ended, so the popover is not shown while the
    // file manager still holds the pointer.
    QTimer::singleShot(0, this, &KOVDropButton::concludeDragOperation);
}

void KOVDropButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (dragInside)
        drawRing(this);
}

KOVReceiptView::KOVReceiptView(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

void KOVReceiptView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!answerDrag(event))
        event->ignore();
}

void KOVReceiptView::dropEvent(QDropEvent *event)
{
    if (answerDrag(event))
        ReceiptNotifier::instance()->post(acceptableReceiptFile(event->mimeData()));
    else
        event->ignore();
}

void KOVReceiptView::paintEvent(QPaintEvent *)
{
    drawRing(this);
    // An empty view says what it is for rather than standing grey.
    if (!findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("Drop an image or PDF of the receipt here, or choose one."));
    }
}

ReceiptImageView::ReceiptImageView(const QImage &image, QWidget *parent) : QWidget(parent), picture(image)
{
    setAcceptDrops(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void ReceiptImageView::paintEvent(QPaintEvent *)
{
    if (picture.isNull())
        return;
    QSize size = picture.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(rect().center());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
}

} // namespace kov
