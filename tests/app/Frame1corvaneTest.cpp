#include "app/Frame1corvane.h"
#include "content/RateTable.h"

#include <QLineEdit>
#include <QTest>
#include <QList>
#include <gtest/gtest.h>

// A row shown from elsewhere changes only the fields that differ, shows them from their
// start and reports none of them as an edit; typing still does.
TEST(Frame1corvane, SetRateRowShowsTheRowWithoutReportingAnEdit)
{
    TFrame1corvane row(5);
    QList<QLineEdit *> changes;
    QObject::connect(&row, &TFrame1corvane::Modify, [&changes](QLineEdit *field) { changes << field; });
    const RateRow swiss{QStringLiteral("CHF"), QStringLiteral("104,60"), QStringLiteral("107,90"),
                        QStringLiteral("ШВЕЙЦАРСКИЙ ФРАНК")};
    row.Editname->setCursorPosition(2);
    row.Edit1->setCursorPosition(3);

    row.setRateRow(swiss);
    EXPECT_EQ(row.rateRow(), swiss);
    EXPECT_TRUE(changes.isEmpty());
    EXPECT_EQ(row.Editname->cursorPosition(), 0);

    RateRow dearer = swiss;
    dearer.sell = QStringLiteral("108,00");
    row.Edit1->setCursorPosition(3);
    row.setRateRow(dearer);
    EXPECT_EQ(row.Edit1->cursorPosition(), 3) << "a field that kept its text was set again";
    EXPECT_TRUE(changes.isEmpty());

    QTest::keyClick(row.Edit2, Qt::Key_End);
    QTest::keyClick(row.Edit2, '5');
    EXPECT_EQ(changes, QList<QLineEdit *>{row.Edit2});
    EXPECT_EQ(row.rateRow().sell, QStringLiteral("108,005"));
}
