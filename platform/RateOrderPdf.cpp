#include "platform/RateOrderPdf.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QObject>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int kDpi = 300;
// Millimetres to the writer's device units.
int mm(double value)
{
    return qRound(value * kDpi / 25.4);
}

QFont pointFont(int points, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

// Draws one line of text at the top `y` inside [left, right], and returns the y below it.
int drawLine(QPainter &painter, const QString &text, int left, int right, int y, Qt::Alignment align = Qt::AlignLeft)
{
    const QFontMetrics metrics(painter.font(), painter.device());
    const QRect box(left, y, right - left, metrics.height() * (metrics.horizontalAdvance(text) / (right - left) + 1));
    QRect used;
    painter.drawText(box, int(align) | Qt::TextWordWrap, text, &used);
    return used.bottom() + metrics.height() / 2;
}

int drawTable(QPainter &painter, const QVector<RateRow> &rows, int left, int right, int y)
{
    const QString headers[] = {QObject::tr("Код"), QObject::tr("Валюта"), QObject::tr("Покупка"), QObject::tr("Продажа")};
    const double widths[] = {0.15, 0.45, 0.2, 0.2};
    const QFontMetrics metrics(painter.font(), painter.device());
    const int rowHeight = metrics.height() * 3 / 2;
    const auto drawRow = [&](const QStringList &cells, bool bold) {
        QFont font = painter.font();
        font.setBold(bold);
        painter.setFont(font);
        int x = left;
        for (int i = 0; i < 4; ++i) {
            const int w = qRound((right - left) * widths[i]);
            const QRect cell(x, y, w, rowHeight);
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(mm(1.5), 0, -mm(1.5), 0),
                             int(i < 2 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, cells[i]);
            x += w;
        }
        y += rowHeight;
    };
    drawRow({headers[0], headers[1], headers[2], headers[3]}, true);
    for (const RateRow &row : rows)
        drawRow({row.code, row.name, row.buy, row.sell}, false);
    return y + rowHeight;
}

} // namespace

QString rateOrderHeading()
{
    return QObject::tr("Распоряжение об установлении курсов иностранных валют");
}

std::optional<QString> writeRateOrderPdf(const RateOrder &order, const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(kDpi);
    writer.setTitle(rateOrderHeading());
    writer.setCreator(order.office);
    QPainter painter;
    if (!painter.begin(&writer))
        return QObject::tr("%1: the file cannot be written").arg(path);

    const int left = mm(20);
    const int right = writer.width() - mm(10);
    painter.setPen(QPen(Qt::black, mm(0.3)));
    painter.setFont(pointFont(14, true));
    int y = drawLine(painter, rateOrderHeading(), left, right, mm(10), Qt::AlignHCenter);
    painter.setFont(pointFont(12));
    y = drawLine(painter, QObject::tr("Офис: %1").arg(order.office), left, right, y + mm(4));
    y = drawLine(painter, QObject::tr("Курсы действуют с %1").arg(journalTimeText(order.rates.since)), left, right, y);
    y = drawLine(painter, QObject::tr("Показаны на момент %1").arg(journalTimeText(order.moment)), left, right, y);
    y = drawTable(painter, order.rates.rows, left, right, y + mm(4));
    y = drawLine(painter, QObject::tr("Подпись: ______________________"), left, right, y + mm(10));
    drawLine(painter, QObject::tr("Ф. И. О.: ______________________"), left, right, y + mm(4));
    if (!painter.end())
        return QObject::tr("%1: the file cannot be written").arg(path);
    return std::nullopt;
}
