// The two places a receipt can be dropped on tab 1: the receipt button and
// the view inside its popover. Both accept one local image or PDF file and
// announce it through the application's receipt notifier.
#pragma once

#include <QImage>
#include <QObject>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

class QDropEvent;
class QMimeData;

namespace kov {

enum class ReceiptKind { None, Image, Pdf };

// What the file at `path` is, by its content first and its name second.
ReceiptKind receiptKindOf(const QString &path);

// The dropped file when the drag carries a local image or PDF; empty otherwise.
QUrl acceptableReceiptFile(const QMimeData *data);

// One for the application: both drop targets post "ImageChanged" here with
// the dropped file's location, and the log tab listens from start-up on.
class ReceiptNotifier : public QObject {
    Q_OBJECT
public:
    static ReceiptNotifier *instance();
    void post(const QUrl &location) { Q_EMIT ImageChanged(location); }

Q_SIGNALS:
    void ImageChanged(const QUrl &location);
};

class KOVDropButton : public QPushButton {
    Q_OBJECT
public:
    explicit KOVDropButton(QWidget *parent = nullptr);

    bool isDragInside() const { return dragInside; }
    void draggingExited();
    // After a drop: open the popover the way a click does, drop the highlight.
    void concludeDragOperation();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // True while an acceptable drag is over the button: it draws the ring.
    bool dragInside = false;
};

class KOVReceiptView : public QWidget {
    Q_OBJECT
public:
    explicit KOVReceiptView(QWidget *parent = nullptr);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// A receipt image drawn as large as the view allows, its proportions kept.
class ReceiptImageView : public QWidget {
    Q_OBJECT
public:
    ReceiptImageView(const QImage &image, QWidget *parent);
    QSize sizeHint() const override { return picture.size(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage picture;
};

} // namespace kov
