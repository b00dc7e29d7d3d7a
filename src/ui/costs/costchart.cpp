#include "costs/costchart.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "log/costrules.h"

namespace kov {

namespace {

constexpr int margin = 10;
constexpr int gap = 6;
constexpr int maxBar = 56;

int textWidth(const QFontMetrics &fm, const QString &text)
{
    return fm.horizontalAdvance(text);
}

} // namespace

CostChart::CostChart(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QColor CostChart::partsColor()
{
    return QColor(0x4E, 0x79, 0xA7);
}

QColor CostChart::laborColor()
{
    return QColor(0xF2, 0x8E, 0x2B);
}

QColor CostChart::taxColor()
{
    return QColor(0x59, 0xA1, 0x4F);
}

void CostChart::setMonths(const QList<MonthCosts> &months)
{
    monthList = months;
    shown = true;
    hovered = -1;
    rebuildLabels();
    update();
}

void CostChart::clear()
{
    monthList.clear();
    shortLabels.clear();
    shown = false;
    hovered = -1;
    update();
}

bool CostChart::isEmptyState() const
{
    if (!shown)
        return false;
    return std::all_of(monthList.cbegin(), monthList.cend(),
                       [](const MonthCosts &m) { return m.parts == 0 && m.labor == 0 && m.tax == 0; });
}

void CostChart::rebuildLabels()
{
    shortLabels.clear();
    // Beyond a century of months, only Januaries can ever be labelled.
    const bool onlyYears = monthList.size() > 1200;
    shortLabels.reserve(monthList.size());
    for (const MonthCosts &m : monthList)
        shortLabels.append(onlyYears && m.month != 1 ? QString() : shortMonthLabel(m.year, m.month));
}

QSize CostChart::sizeHint() const
{
    return {640, 260};
}

QSize CostChart::minimumSizeHint() const
{
    return {240, 160};
}

CostChart::Scale CostChart::valueScale() const
{
    double top = 0, bottom = 0;
    for (const MonthCosts &m : monthList) {
        double up = 0, down = 0;
        for (double v : {m.parts, m.labor, m.tax})
            (v >= 0 ? up : down) += v;
        top = std::max(top, up);
        bottom = std::min(bottom, down);
    }
    const double span = top - bottom;
    if (!(span > 0) || !std::isfinite(span))
        return {0, 1, 0.25};
    // A round step (1, 2, 2.5 or 5 times a power of ten) giving about five
    // lines.
    const double raw = span / 5.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * magnitude;
    for (double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (f * magnitude >= raw) {
            step = f * magnitude;
            break;
        }
    }
    // Cents are the finest an amount has.
    step = std::max(step, 0.01);
    return {std::floor(bottom / step + 1e-9) * step, std::ceil(top / step - 1e-9) * step, step};
}

QString CostChart::tickText(double value, double step) const
{
    const bool whole = std::abs(step - std::round(step)) < 1e-9;
    return copyFormatStringForTextField(value,
                                        whole ? QStringLiteral("\u00A4###,###,##0") : pattern::moneyWithZero);
}

CostChart::Geometry CostChart::geometry() const
{
    Geometry g;
    g.scale = valueScale();
    const QFontMetrics fm(font());
    int tickWidth = 0;
    for (double v = g.scale.low; v <= g.scale.high + g.scale.step / 2; v += g.scale.step)
        tickWidth = std::max(tickWidth, textWidth(fm, tickText(v, g.scale.step)));
    const int top = margin + fm.height() + 2 * gap;
    const int bottom = height() - margin - fm.height() - gap;
    const int left = margin + tickWidth + gap;
    const int right = width() - margin;
    g.plot = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    const qsizetype n = std::max<qsizetype>(1, monthList.size());
    g.slot = double(g.plot.width()) / double(n);

    // Label every k-th month, k from a series that keeps the labels on
    // quarters, half years or years.
    int widest = 0;
    for (const QString &label : shortLabels)
        widest = std::max(widest, textWidth(fm, label));
    const int needed = widest + 2 * gap;
    static constexpr std::array<int, 8> steps{1, 2, 3, 4, 6, 12, 24, 60};
    g.labelStep = 120;
    for (int k : steps) {
        if (k * g.slot >= needed) {
            g.labelStep = k;
            break;
        }
    }
    while (g.labelStep * g.slot < needed && g.labelStep < 1200)
        g.labelStep *= 2;
    return g;
}

int CostChart::monthAt(const QPoint &pos) const
{
    if (!shown || isEmptyState())
        return -1;
    const Geometry g = geometry();
    if (pos.y() < g.plot.top() || pos.y() > g.plot.bottom() || pos.x() < g.plot.left() ||
        pos.x() > g.plot.right() || g.slot <= 0)
        return -1;
    const int index = int((pos.x() - g.plot.left()) / g.slot);
    return index >= 0 && index < monthList.size() ? index : -1;
}

QString CostChart::toolTipForMonth(int index) const
{
    if (index < 0 || index >= monthList.size())
        return {};
    const MonthCosts &m = monthList[index];
    auto money = [](double v) {
        return copyFormatStringForTextField(v, pattern::moneyWithZero).toHtmlEscaped();
    };
    auto row = [&](const QColor &color, const QString &name, double v) {
        return QStringLiteral("<tr><td><span style=\"color:%1\">\u25A0</span> %2</td>"
                              "<td align=\"right\">&nbsp;&nbsp;%3</td></tr>")
            .arg(color.name(), name.toHtmlEscaped(), money(v));
    };
    QString html = QStringLiteral("<b>%1</b><table cellspacing=\"0\" cellpadding=\"1\">")
                       .arg(longMonthLabel(m.year, m.month).toHtmlEscaped());
    html += row(partsColor(), tr("Parts"), m.parts);
    html += row(laborColor(), tr("Labor"), m.labor);
    html += row(taxColor(), tr("Tax"), m.tax);
    html +=
        QStringLiteral("<tr><td><b>%1</b></td><td align=\"right\"><b>&nbsp;&nbsp;%2</b></td></tr></table>")
            .arg(tr("Total").toHtmlEscaped(), money(m.total));
    return html;
}

void CostChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette pal = palette();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), pal.color(QPalette::Base));
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(frame);
    QColor faint = pal.color(QPalette::Text);
    faint.setAlphaF(0.55f);
    if (!shown) {
        // Say what the empty box is for until the first Show.
        p.setPen(faint);
        p.drawText(rect(), Qt::AlignCenter, tr("Costs per month appear here when you press Show."));
        return;
    }
    if (isEmptyState()) {
        p.setPen(faint);
        p.drawText(rect(), Qt::AlignCenter, tr("No maintenance in this range"));
        return;
    }

    const Geometry g = geometry();
    const QFontMetrics fm(font());
    const Scale &s = g.scale;
    const QRect &plot = g.plot;
    auto yOf = [&](double v) {
        return int(std::lround(plot.bottom() + 1 - (v - s.low) / (s.high - s.low) * (plot.height())));
    };

    // Legend, top right.
    {
        const std::array<std::pair<QColor, QString>, 3> entries{std::pair{partsColor(), tr("Parts")},
                                                                std::pair{laborColor(), tr("Labor")},
                                                                std::pair{taxColor(), tr("Tax")}};
        const int box = fm.ascent() - 2;
        int x = width() - margin;
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            const int w = textWidth(fm, it->second);
            x -= w;
            p.setPen(pal.color(QPalette::Text));
            p.drawText(QRect(x, margin, w, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, it->second);
            x -= box + 5;
            p.fillRect(QRect(x, margin + (fm.height() - box) / 2, box, box), it->first);
            x -= 3 * gap;
        }
    }

    // Grid lines and amounts.
    QColor grid = pal.color(QPalette::Text);
    grid.setAlphaF(0.12f);
    for (double v = s.low; v <= s.high + s.step / 2; v += s.step) {
        const int y = yOf(v);
        const bool zero = std::abs(v) < s.step / 2;
        p.setPen(zero ? faint : grid);
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(faint);
        p.drawText(QRect(margin, y - fm.height() / 2, plot.left() - gap - margin, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, tickText(std::abs(v) < s.step / 2 ? 0.0 : v, s.step));
    }

    // Bars: parts at the bottom, then labor, then tax; edges on whole pixels
    // so neighbouring parts meet without seams.
    const double barShare = g.slot >= 6 ? 0.68 : 1.0;
    for (qsizetype i = 0; i < monthList.size(); ++i) {
        const MonthCosts &m = monthList[i];
        const int x0 = plot.left() + int(std::lround(i * g.slot));
        const int x1 = plot.left() + int(std::lround((i + 1) * g.slot));
        // Few months make broad slots; a bar stays a bar, not a block.
        const int inset =
            std::max(int(std::lround((x1 - x0) * (1.0 - barShare) / 2.0)), (x1 - x0 - maxBar) / 2);
        const int bx0 = x0 + inset, bx1 = std::max(x0 + inset + 1, x1 - inset);
        if (i == hovered) {
            QColor hl = pal.color(QPalette::Highlight);
            hl.setAlphaF(0.12f);
            p.fillRect(QRect(QPoint(x0, plot.top()), QPoint(x1 - 1, plot.bottom())), hl);
        }
        double up = 0, down = 0;
        for (const auto &[v, color] : {std::pair{m.parts, partsColor()}, std::pair{m.labor, laborColor()},
                                       std::pair{m.tax, taxColor()}}) {
            if (v == 0)
                continue;
            double &base = v > 0 ? up : down;
            const int ya = yOf(base), yb = yOf(base + v);
            base += v;
            const QRect r(QPoint(bx0, std::min(ya, yb)), QPoint(bx1 - 1, std::max(ya, yb) - 1));
            if (r.height() > 0)
                p.fillRect(r, color);
        }
    }

    // Month names under the bars, thinned to every labelStep-th month.
    p.setPen(faint);
    const int labelTop = plot.bottom() + gap;
    for (qsizetype i = 0; i < monthList.size(); ++i) {
        const MonthCosts &m = monthList[i];
        const qint64 absolute = qint64(m.year) * 12 + (m.month - 1);
        if (absolute % g.labelStep != 0 || shortLabels.value(i).isEmpty())
            continue;
        const QString &label = shortLabels[i];
        const int w = textWidth(fm, label);
        const int centre = plot.left() + int(std::lround((i + 0.5) * g.slot));
        const int x = std::clamp(centre - w / 2, margin, width() - margin - w);
        p.drawLine(centre, plot.bottom() + 1, centre, plot.bottom() + 3);
        p.drawText(QRect(x, labelTop, w, fm.height()), Qt::AlignCenter, label);
    }
}

bool CostChart::event(QEvent *e)
{
    if (e->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(e);
        const int index = monthAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), toolTipForMonth(index), this);
        else {
            QToolTip::hideText();
            e->ignore();
        }
        return true;
    }
    return QWidget::event(e);
}

void CostChart::mouseMoveEvent(QMouseEvent *e)
{
    const int index = monthAt(e->position().toPoint());
    if (index != hovered) {
        hovered = index;
        update();
        if (index >= 0 && QToolTip::isVisible())
            QToolTip::showText(e->globalPosition().toPoint(), toolTipForMonth(index), this);
    }
    QWidget::mouseMoveEvent(e);
}

void CostChart::leaveEvent(QEvent *e)
{
    if (hovered >= 0) {
        hovered = -1;
        update();
    }
    QWidget::leaveEvent(e);
}

void CostChart::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::LocaleChange || e->type() == QEvent::FontChange)
        rebuildLabels();
    QWidget::changeEvent(e);
}

} // namespace kov
