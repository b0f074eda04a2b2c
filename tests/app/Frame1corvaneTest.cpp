#include "app/Frame1corvane.h"
#include "content/RateTable.h"

#include <QLineEdit>
#include <QList>
#include <gtest/gtest.h>

TEST(Frame1corvane, SetRateRowChangesOnlyDifferingFieldsAndShowsTheirStart)
{
    TFrame1corvane row(5);
    QList<QLineEdit *> changes;
    QObject::connect(&row, &TFrame1corvane::Modify, [&changes](QLineEdit *field) { changes << field; });
    const RateRow swiss{QStringLiteral("CHF"), QStringLiteral("104,60"), QStringLiteral("107,90"),
                        QStringLiteral("ШВЕЙЦАРСКИЙ ФРАНК")};

    row.setRateRow(swiss);
    EXPECT_EQ(row.rateRow(), swiss);
    // Code and name differ from the design texts, and both rates from "0,000".
    EXPECT_EQ(changes.size(), 4);
    EXPECT_EQ(row.Editname->cursorPosition(), 0);

    changes.clear();
    row.setRateRow(swiss);
    EXPECT_TRUE(changes.isEmpty());

    RateRow dearer = swiss;
    dearer.sell = QStringLiteral("108,00");
    row.setRateRow(dearer);
    EXPECT_EQ(changes, QList<QLineEdit *>{row.Edit2});
}
