#include "Frame1corvane.h"

#include "RateFieldValidator.h"
#include "content/BoardContent.h"
#include "content/RateTable.h"

#include <QScopedValueRollback>

#include <QLineEdit>

namespace {

void setColors(QWidget *widget, const QColor &text, const QColor &background)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Base, background);
    pal.setColor(QPalette::Window, background);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

// Loaded text is shown from its start, as a long name reads best.
void setIfDifferent(QLineEdit *field, const QString &text)
{
    if (field->text() == text)
        return;
    field->setText(text);
    field->setCursorPosition(0);
}

} // namespace

TFrame1corvane::TFrame1corvane(int tag, QWidget *parent)
    : QFrame(parent)
    , m_tag(tag)
{
    setObjectName(QStringLiteral("Frame1corvane%1").arg(tag));
    resize(293, 39);
    setColors(this, Qt::yellow, Qt::black);

    const QColor yellow(0xFF, 0xFF, 0);
    EditK = addField(this, "EditK", QRect(0, 0, 113, 24), RateNameMaxLength, 13, yellow);
    Editname = addField(this, "Editname", QRect(0, 20, 113, 24), RateNameMaxLength, 13, yellow);
    // Code and name are edited with the mouse; Tab walks the rates only.
    EditK->setFocusPolicy(Qt::ClickFocus);
    Editname->setFocusPolicy(Qt::ClickFocus);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(width() - 180, 0, 180, height());
    setColors(Panel1, Qt::yellow, Qt::black);
    Edit1 = addField(Panel1, "Edit1", QRect(0, 7, 90, 28), RateFigureMaxLength, 16, QColor(0xFF, 0, 0));
    Edit2 = addField(Panel1, "Edit2", QRect(90, 7, 90, 28), RateFigureMaxLength, 16, QColor(0, 0xFF, 0));

    // What a first run shows before any table has been stored, the cursor after the text.
    const RateSlots design = BoardContent::designRates();
    const RateRow first = tag >= 1 && tag <= RateSlotCount ? design[static_cast<size_t>(tag - 1)] : design.back();
    EditK->setText(first.code);
    Editname->setText(first.name);
    Edit1->setText(first.buy);
    Edit2->setText(first.sell);
    if (tag >= 1 && tag <= 7)
        setColors(Editname, Qt::white, Qt::black);

    for (QLineEdit *field : {EditK, Editname, Edit1, Edit2})
        connect(field, &QLineEdit::textChanged, this, [this, field] {
            if (!m_showingRow)
                emit Modify(field);
        });
}

QLineEdit *TFrame1corvane::addField(QWidget *parent, const char *name, const QRect &bounds, int maxLength,
                                    int pixels, const QColor &color)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(bounds);
    field->setMaxLength(maxLength);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(pixels);
    field->setFont(font);
    field->setFrame(false);
    setColors(field, color, Qt::black);
    field->setValidator(new RateFieldValidator(field));
    return field;
}

RateRow TFrame1corvane::rateRow() const
{
    return {EditK->text(), Edit1->text(), Edit2->text(), Editname->text()};
}

void TFrame1corvane::setRateRow(const RateRow &row)
{
    const QScopedValueRollback showing(m_showingRow, true);
    setIfDifferent(EditK, row.code);
    setIfDifferent(Editname, row.name);
    setIfDifferent(Edit1, row.buy);
    setIfDifferent(Edit2, row.sell);
}
