#include "board/FrameCorvane.h"
#include "content/BoardContent.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString line(const QString &code, const QString &buy, const QString &sell, const QString &name)
{
    return code + QLatin1Char('\t') + buy + QLatin1Char('\t') + sell + QLatin1Char('\t') + name + kCrLf;
}

QString emptyLines(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("\t\t\t") + kCrLf;
    return text;
}

bool rowHidden(const TFrameCorvane &frame, int i)
{
    const auto &row = frame.row(i);
    return row.Name->isHidden() && row.NameRus->isHidden() && row.Pok->isHidden() && row.Prod->isHidden();
}

bool rowShown(const TFrameCorvane &frame, int i)
{
    const auto &row = frame.row(i);
    return row.Name->isVisibleTo(&frame) && row.NameRus->isVisibleTo(&frame) && row.Pok->isVisibleTo(&frame)
           && row.Prod->isVisibleTo(&frame);
}

// A board as a host prepares it: rows created, sized, laid out once while still empty; then
// it follows a content that has read a stored table.
class BoardRates : public ::testing::Test
{
protected:
    void SetUp() override
    {
        programSettings().reset();
        prepare(frame);
    }
    void TearDown() override { programSettings().reset(); }

    static void prepare(TFrameCorvane &board)
    {
        board.InitBoard();
        board.resize(600, 480);
        board.FrameResize();
    }

    static void load(TFrameCorvane &board, BoardContent &content, const QString &text)
    {
        content.loadRateTable(text);
        board.followRates(content);
    }
    void load(const QString &text) { load(frame, content, text); }

    int tableHeight() const { return frame.PanelName->height() - frame.LabelPusto->height(); }

    TFrameCorvane frame;
    BoardContent content;
};

} // namespace

TEST_F(BoardRates, OneShownRowTakesTheWholeTable)
{
    load(line(QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США"))
         + emptyLines(7));

    EXPECT_EQ(frame.shownRowCount(), 1);
    const auto &first = frame.row(1);
    EXPECT_EQ(first.Name->caption(), QStringLiteral("USD"));
    EXPECT_EQ(first.NameRus->caption(), QStringLiteral("ДОЛЛАР США"));
    EXPECT_EQ(first.Pok->caption(), QStringLiteral("93,10"));
    EXPECT_EQ(first.Prod->caption(), QStringLiteral("94,50"));
    EXPECT_TRUE(rowShown(frame, 1));
    for (int i = 2; i <= 8; ++i)
        EXPECT_TRUE(rowHidden(frame, i)) << "row " << i;

    // The pitch is the table height: the figures span it (rounded up by half a pixel) and the
    // code and second-name lines share it.
    EXPECT_GE(first.Pok->height(), tableHeight());
    EXPECT_LE(first.Pok->height(), tableHeight() + 1);
    EXPECT_EQ(first.Prod->height(), first.Pok->height());
    EXPECT_EQ(first.Name->y(), frame.LabelPusto->height() + 1);
    EXPECT_NEAR(first.NameRus->y() - first.Name->y(), tableHeight() / 2.0, 1.0);
}

TEST_F(BoardRates, DashedCodeKeepsItsSlotButTheRowsBelowCloseUp)
{
    load(line(QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США"))
             + line(QStringLiteral("-EUR"), QStringLiteral("99,20"), QStringLiteral("101,00"), QStringLiteral("ЕВРО"))
             + line(QStringLiteral("CNY"), QStringLiteral("12,70"), QStringLiteral("13,40"),
                    QStringLiteral("КИТАЙСКИЙ ЮАНЬ"))
             + emptyLines(5));

    EXPECT_EQ(content.rateSlot(2).code, QStringLiteral("-EUR"));
    EXPECT_EQ(content.rateSlot(2).buy, QStringLiteral("99,20"));
    EXPECT_EQ(frame.row(2).Name->caption(), QStringLiteral("-EUR"));
    EXPECT_EQ(frame.row(2).Pok->caption(), QStringLiteral("99,20"));
    EXPECT_TRUE(rowHidden(frame, 2));
    EXPECT_EQ(frame.shownRowCount(), 2);

    // CNY sits exactly where it would if EUR were not in the table at all.
    TFrameCorvane without;
    BoardContent withoutContent;
    prepare(without);
    load(without, withoutContent,
         line(QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США"))
             + line(QStringLiteral("CNY"), QStringLiteral("12,70"), QStringLiteral("13,40"),
                    QStringLiteral("КИТАЙСКИЙ ЮАНЬ")));
    ASSERT_TRUE(rowShown(frame, 3));
    EXPECT_EQ(frame.row(3).Name->geometry(), without.row(2).Name->geometry());
    EXPECT_EQ(frame.row(3).NameRus->geometry(), without.row(2).NameRus->geometry());
    EXPECT_EQ(frame.row(3).Pok->geometry(), without.row(2).Pok->geometry());
    EXPECT_EQ(frame.row(3).Prod->geometry(), without.row(2).Prod->geometry());
    EXPECT_GT(frame.row(3).Name->y(), frame.row(1).NameRus->y());
}

TEST_F(BoardRates, LoadedRowsTakeTheirTemplatesCurrentLook)
{
    // The stored fonts reach the templates after the rows were created; loading brings them on.
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPixelSize(20);
    serif.setItalic(true);
    frame.LabelPok->setFont(serif);
    frame.LabelPok->setFontColor(clAqua);
    frame.LabelName->setFontColor(clWhite);
    frame.LabelProd->setShadowSize(3);

    load(line(QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QString())
         + line(QStringLiteral("EUR"), QStringLiteral("99,20"), QStringLiteral("101,00"), QString()));

    for (int i = 1; i <= 2; ++i) {
        SCOPED_TRACE(i);
        const auto &row = frame.row(i);
        EXPECT_EQ(row.Pok->fontColor(), clAqua);
        EXPECT_EQ(row.Pok->font().family(), frame.LabelPok->font().family());
        EXPECT_TRUE(row.Pok->font().italic());
        EXPECT_EQ(row.Name->fontColor(), clWhite);
        EXPECT_EQ(row.Prod->shadowSize(), 3);
        EXPECT_EQ(row.NameRus->fontColor(), frame.LabelNameRus->fontColor());
    }
    // Slots the text does not reach are empty and keep the look they were created with.
    EXPECT_EQ(frame.row(3).Pok->fontColor(), clRed);
    EXPECT_FALSE(frame.row(3).Pok->font().italic());
    EXPECT_NE(frame.row(3).Name->fontColor(), clWhite);
}

TEST_F(BoardRates, EverySlotTakesItsLineInOrderWithItsFields)
{
    // Lines without TAB take no slot; a fifth field is dropped; a short line has empty fields;
    // lines past the eighth slot line are not read.
    const QString text = line(QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"),
                              QStringLiteral("ДОЛЛАР США"))
                         + QStringLiteral("no separator here") + kCrLf
                         + QStringLiteral("EUR\t99,20\t101,00\tЕВРО\textra") + kCrLf
                         + QStringLiteral("CNY\t12,70") + kCrLf + line(QString(), QStringLiteral("1"),
                                                                     QStringLiteral("2"), QStringLiteral("пусто"))
                         + line(QStringLiteral("GBP"), QString(), QString(), QString()) + emptyLines(2)
                         + line(QStringLiteral("NINE"), QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("9"))
                         + QStringLiteral("TEN\t10");
    const std::vector<std::pair<int, RateRow>> expected = {
        {1, {QStringLiteral("USD"), QStringLiteral("93,10"), QStringLiteral("94,50"), QStringLiteral("ДОЛЛАР США")}},
        {2, {QStringLiteral("EUR"), QStringLiteral("99,20"), QStringLiteral("101,00"), QStringLiteral("ЕВРО")}},
        {3, {QStringLiteral("CNY"), QStringLiteral("12,70"), QString(), QString()}},
        {4, {QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("пусто")}},
        {5, {QStringLiteral("GBP"), QString(), QString(), QString()}},
        {6, {}},
        {7, {}},
        {8, {QStringLiteral("NINE"), QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("9")}},
    };

    load(text);

    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(content.rateSlot(expected[k].first), expected[k].second);
        const auto &row = frame.row(expected[k].first);
        EXPECT_EQ(row.Name->caption(), expected[k].second.code);
        EXPECT_EQ(row.NameRus->caption(), expected[k].second.name);
        EXPECT_EQ(row.Pok->caption(), expected[k].second.buy);
        EXPECT_EQ(row.Prod->caption(), expected[k].second.sell);
    }
    // USD, EUR, CNY, GBP and NINE are shown; the empty code in slot 4 and the empty lines are not.
    EXPECT_EQ(frame.shownRowCount(), 5);
    for (int i : {1, 2, 3, 5, 8})
        EXPECT_TRUE(rowShown(frame, i)) << "row " << i;
    for (int i : {4, 6, 7})
        EXPECT_TRUE(rowHidden(frame, i)) << "row " << i;
    EXPECT_TRUE(rowShown(frame, 5) && frame.row(5).Prod->caption().isEmpty());
}

// A table of two lines is the whole table: what the slots below held before (the first-run
// rows) is gone from the content and the board, or the next edit would store it again.
TEST_F(BoardRates, TheSlotsAStoredTableDoesNotReachAreEmpty)
{
    for (int slot = 1; slot <= RateSlotCount; ++slot)
        frame.setRowCaptions(slot, {QStringLiteral("GOLD"), QStringLiteral("0,000"), QStringLiteral("0,000"),
                                    QStringLiteral("ЗОЛОТО")});
    load(line(QStringLiteral("USD"), QStringLiteral("1"), QStringLiteral("2"), QString())
         + line(QStringLiteral("EUR"), QStringLiteral("3"), QStringLiteral("4"), QString()));

    for (int slot = 3; slot <= RateSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(content.rateSlot(slot), RateRow{});
        EXPECT_EQ(frame.rowCaptions()[size_t(slot - 1)].code, QString());
        EXPECT_EQ(frame.row(slot).Pok->caption(), QString());
        EXPECT_TRUE(rowHidden(frame, slot));
    }
    EXPECT_EQ(frame.shownRowCount(), 2);
}

// With no stored table (a first run) the content holds the design rows for the editors,
// and none of them is on the board until it is edited.
TEST_F(BoardRates, EmptyTextShowsNothingUntilASlotIsEdited)
{
    load(QString());
    EXPECT_EQ(content.rateSlots(), BoardContent::designRates());
    EXPECT_EQ(frame.rowCaptions(), RateSlots{});
    EXPECT_EQ(frame.shownRowCount(), 0);
    for (int i = 1; i <= RateSlotCount; ++i)
        EXPECT_TRUE(rowHidden(frame, i)) << "row " << i;

    content.setRateSlot(2, BoardContent::designRates()[1]);
    EXPECT_EQ(frame.shownRowCount(), 1);
    EXPECT_EQ(frame.row(2).Name->caption(), QStringLiteral("EUR"));
    EXPECT_TRUE(rowHidden(frame, 1));
}

// A row changed on the content reaches the board alone, the others keep their captions,
// and the rows are laid out for the new count at once.
TEST_F(BoardRates, ChangesOnTheContentReachTheBoardAsTheyHappen)
{
    load(line(QStringLiteral("USD"), QStringLiteral("1"), QStringLiteral("2"), QString())
         + line(QStringLiteral("EUR"), QStringLiteral("3"), QStringLiteral("4"), QString()));
    ASSERT_EQ(frame.shownRowCount(), 2);
    const QRect usdBefore = frame.row(1).Name->geometry();

    content.setRateSlot(3, {QStringLiteral("GBP"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("ФУНТ")});
    EXPECT_EQ(frame.shownRowCount(), 3);
    EXPECT_TRUE(rowShown(frame, 3));
    EXPECT_EQ(frame.row(3).NameRus->caption(), QStringLiteral("ФУНТ"));
    EXPECT_EQ(frame.row(2).Pok->caption(), QStringLiteral("3"));
    EXPECT_LT(frame.row(1).Name->height(), usdBefore.height());

    RateSlots replaced;
    replaced[0] = {QStringLiteral("CHF"), QStringLiteral("7"), QStringLiteral("8"), QString()};
    content.setRateSlots(replaced, RateOrigin::headOffice(QStringLiteral("hq"), 4));
    EXPECT_EQ(frame.rowCaptions(), replaced);
    EXPECT_EQ(frame.shownRowCount(), 1);
    EXPECT_TRUE(rowHidden(frame, 2) && rowHidden(frame, 3));
}

TEST(BoardRatesBeforeInit, AFrameWithoutRowLabelsIgnoresTheRates)
{
    BoardContent content;
    content.loadRateTable(line(QStringLiteral("USD"), QStringLiteral("1"), QStringLiteral("2"), QString()));
    TFrameCorvane frame;
    frame.followRates(content);
    content.setRateSlot(1, {QStringLiteral("EUR"), QStringLiteral("3"), QStringLiteral("4"), QString()});
    EXPECT_EQ(frame.shownRowCount(), 0);
    EXPECT_FALSE(frame.hasRowLabels());
}
