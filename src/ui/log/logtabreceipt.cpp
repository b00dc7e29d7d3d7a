// Tab 1's receipt: shown on the receipt button and in its popover, replaced
// by a drop or a choice, opened in the desktop's viewer, removed.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>

#include "app/alerts.h"
#include "app/datepopover.h"
#include "app/feedback.h"
#include "log/logtab.h"
#include "log/maintrecords.h"
#include "log/receiptwidgets.h"
#include "ui_logtab.h"
#include "ui_receiptpopup.h"

namespace kov {

namespace {

// Large enough for a sharp picture on the button at twice its size, and for
// a photo in the popover, without holding a camera's full image.
constexpr int buttonPictureSide = 176;
constexpr int viewPictureSide = 1600;

QString dropButtonEmptyText()
{
    return QCoreApplication::translate("LogTab", "Drop\nreceipt\nhere");
}

QString dropButtonToolTip()
{
    return QCoreApplication::translate(
        "LogTab", "Drag an image or PDF of the receipt here.\nClick to view the receipt.");
}

// The first page fitted into a square of `side`, over white as on paper.
QImage firstPagePicture(QPdfDocument &document, int side)
{
    QSize size = document.pagePointSize(0).toSize();
    if (size.isEmpty())
        size = QSize(side, side);
    size.scale(side, side, Qt::KeepAspectRatio);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, document.render(0, size));
    return picture;
}

} // namespace

void LogTab::connectReceipt()
{
    connect(ReceiptNotifier::instance(), &ReceiptNotifier::ImageChanged, this, &LogTab::imageChanged);
    connect(ui->dropButton, &QPushButton::clicked, this,
            [this] { showBeside(receiptPopover, ui->dropButton); });
    connect(ui->removeReceiptBtn, &QToolButton::clicked, this, &LogTab::removeAction);
    connect(receiptUi->chooseReceiptBtn, &QPushButton::clicked, this, &LogTab::chooseReceipt);
    connect(receiptUi->openReceiptBtn, &QPushButton::clicked, this, &LogTab::openReceipt);
    removeAction();
}

void LogTab::imageChanged(const QUrl &location)
{
    imageFilePathURL = location;
    unresolvedReceiptData.clear();
    removeAllSubviews();
    buildImageViewAndSetWithURL(imageFilePathURL);
}

void LogTab::removeAllSubviews()
{
    // A document goes before its view: while it closes it still talks to it.
    qDeleteAll(receiptUi->dropView->findChildren<QPdfDocument *>(QString(), Qt::FindDirectChildrenOnly));
    qDeleteAll(receiptUi->dropView->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    receiptUi->dropView->update();
}

void LogTab::removeAction()
{
    imageFilePathURL = QUrl();
    unresolvedReceiptData.clear();
    setReceiptPicture(QImage(), QString());
    removeAllSubviews();
}

void LogTab::setReceiptPicture(const QImage &picture, const QString &fileName)
{
    KOVDropButton *button = ui->dropButton;
    button->setIcon(picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
    button->setText(picture.isNull() ? dropButtonEmptyText() : QString());
    button->setToolTip(fileName.isEmpty() ? dropButtonToolTip()
                                          : fileName + QLatin1Char('\n') + dropButtonToolTip());
    const bool attached = !imageFilePathURL.isEmpty() || !unresolvedReceiptData.isEmpty();
    ui->removeReceiptBtn->setEnabled(attached);
    receiptUi->openReceiptBtn->setEnabled(!imageFilePathURL.isEmpty());
}

void LogTab::showReceiptProblem(const QString &line)
{
    // The button still says that a receipt is attached; the popover says why
    // it cannot be shown here.
    const QStyle *style = page->style();
    setReceiptPicture(style->standardIcon(QStyle::SP_FileIcon).pixmap(64, 64).toImage(),
                      QFileInfo(imageFilePathURL.toLocalFile()).fileName());
    auto *label = new QLabel(line, receiptUi->dropView);
    label->setObjectName(QStringLiteral("receiptProblem"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(18);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    receiptUi->dropView->layout()->addWidget(label);
}

void LogTab::buildImageViewAndSetWithURL(const QUrl &location)
{
    removeAllSubviews();
    if (location.isEmpty())
        return removeAction();
    const QString path = location.toLocalFile();
    const QString name = QFileInfo(path).fileName();
    QWidget *view = receiptUi->dropView;
    switch (receiptKindOf(path)) {
    case ReceiptKind::Image: {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QImage image = reader.read();
        if (image.isNull())
            return showReceiptProblem(
                tr("\u201c%1\u201d cannot be shown: the image is damaged or in a form KOV cannot read.")
                    .arg(name));
        if (image.width() > viewPictureSide || image.height() > viewPictureSide)
            image =
                image.scaled(viewPictureSide, viewPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        setReceiptPicture(
            image.scaled(buttonPictureSide, buttonPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation),
            name);
        auto *shown = new ReceiptImageView(image, view);
        shown->setObjectName(QStringLiteral("receiptImage"));
        view->layout()->addWidget(shown);
        return;
    }
    case ReceiptKind::Pdf: {
        // Made first, so that it is also deleted first when the form goes.
        auto *document = new QPdfDocument(view);
        const QPdfDocument::Error error = document->load(path);
        if (error != QPdfDocument::Error::None || document->pageCount() < 1) {
            delete document;
            const bool locked = error == QPdfDocument::Error::IncorrectPassword ||
                                error == QPdfDocument::Error::UnsupportedSecurityScheme;
            return showReceiptProblem(
                locked ? tr("\u201c%1\u201d is protected by a password and cannot be shown here. Open it in "
                            "the viewer to see it.")
                             .arg(name)
                       : tr("\u201c%1\u201d cannot be shown: the PDF is damaged or KOV cannot read it.")
                             .arg(name));
        }
        setReceiptPicture(firstPagePicture(*document, buttonPictureSide), name);
        auto *shown = new QPdfView(view);
        shown->setObjectName(QStringLiteral("receiptPdf"));
        // Drops over the document reach the receipt view underneath.
        shown->setAcceptDrops(false);
        shown->viewport()->setAcceptDrops(false);
        shown->setPageMode(QPdfView::PageMode::MultiPage);
        shown->setZoomMode(QPdfView::ZoomMode::FitToWidth);
        shown->setDocument(document);
        view->layout()->addWidget(shown);
        return;
    }
    case ReceiptKind::None:
        return showReceiptProblem(
            tr("\u201c%1\u201d cannot be shown: it is neither an image nor a PDF.").arg(name));
    }
}

void LogTab::showStoredReceipt(const QByteArray &data)
{
    // A moved or deleted file, or a bookmark written on another platform,
    // shows nothing here; its data stays with the record through a Change.
    QUrl location = receiptUrlFromBookmark(data);
    if (!location.isEmpty() && !QFileInfo(location.toLocalFile()).isFile())
        location = QUrl();
    imageFilePathURL = location;
    buildImageViewAndSetWithURL(location);
    unresolvedReceiptData = location.isEmpty() ? data : QByteArray();
    ui->removeReceiptBtn->setEnabled(!data.isEmpty());
}

void LogTab::openReceipt()
{
    if (imageFilePathURL.isEmpty())
        return;
    receiptPopover->hide();
    openOrTellWhere(page->window(), imageFilePathURL);
}

void LogTab::chooseReceipt()
{
    receiptPopover->hide();
    QStringList patterns{QStringLiteral("*.pdf"), QStringLiteral("*.PDF")};
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format));
        patterns.append(QStringLiteral("*.") + QString::fromLatin1(format).toUpper());
    }
    const QString folder = imageFilePathURL.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                               : QFileInfo(imageFilePathURL.toLocalFile()).absolutePath();
    const QString path =
        QFileDialog::getOpenFileName(page->window(), tr("Choose a Receipt"), folder,
                                     tr("Images and PDFs (%1)").arg(patterns.join(QLatin1Char(' '))));
    if (path.isEmpty())
        return;
    if (receiptKindOf(path) == ReceiptKind::None) {
        doSheetAlert(page->window(), tr("Choose an image or a PDF file."),
                     tr("\u201c%1\u201d is neither an image nor a PDF").arg(QFileInfo(path).fileName()));
        return;
    }
    ReceiptNotifier::instance()->post(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    ui->dropButton->click();
}

} // namespace kov
