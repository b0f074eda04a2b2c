#pragma once

#include <QFrame>

class QLineEdit;
struct RateRow;

// One currency editor row: code and second name on the left, buy and sell rate on the
// right. Its tag is the board line it edits (1 = top line).
class TFrame1corvane : public QFrame
{
    Q_OBJECT
public:
    TFrame1corvane(int tag, QWidget *parent = nullptr);

    int tag() const { return m_tag; }

    // The row as the rate table stores it. Setting it shows a row that came from elsewhere:
    // only the fields whose text differs change, and none of them reports a change.
    RateRow rateRow() const;
    void setRateRow(const RateRow &row);

    QLineEdit *EditK;
    QLineEdit *Editname;
    QFrame *Panel1;
    QLineEdit *Edit1;
    QLineEdit *Edit2;

signals:
    // Any of the four fields changed; the argument is the field.
    void Modify(QLineEdit *field);

private:
    QLineEdit *addField(QWidget *parent, const char *name, const QRect &bounds, int maxLength, int pixels,
                        const QColor &color);
    int m_tag;
    bool m_showingRow = false;
};
