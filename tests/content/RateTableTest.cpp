#include "content/RateTable.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <random>
#include <string_view>

using namespace Qt::StringLiterals;
using namespace std::string_view_literals;

namespace {

// Builds a string that may hold NUL characters.
QString units(std::u16string_view text)
{
    return QStringView(text.data(), static_cast<qsizetype>(text.size())).toString();
}

const QString CrLf = QStringLiteral("\r\n");
const QString EmptyLine = QStringLiteral("\t\t\t\r\n");

QString line(const QString &code, const QString &buy, const QString &sell, const QString &name)
{
    return code + u'\t' + buy + u'\t' + sell + u'\t' + name + CrLf;
}

bool hasSeparator(const QString &field)
{
    return field.contains(u'\t') || field.contains(u'\r') || field.contains(u'\n');
}

// What must hold for any text, however broken.
void expectWellFormed(const QVector<RateRow> &rows)
{
    ASSERT_LE(rows.size(), RateSlotCount);
    for (const RateRow &row : rows) {
        EXPECT_FALSE(hasSeparator(row.code));
        EXPECT_FALSE(hasSeparator(row.buy));
        EXPECT_FALSE(hasSeparator(row.sell));
        EXPECT_FALSE(hasSeparator(row.name));
    }
    const RateSlots filled = toRateSlots(rows);
    EXPECT_EQ(parseRateTable(writeRateTable(filled)), QVector<RateRow>(filled.begin(), filled.end()));
}

RateRow sanitized(const RateRow &row)
{
    return {sanitizeRateField(row.code), sanitizeRateField(row.buy), sanitizeRateField(row.sell),
            sanitizeRateField(row.name)};
}

} // namespace

void PrintTo(const RateRow &row, std::ostream *os)
{
    *os << '{' << row.code.toStdString() << '|' << row.buy.toStdString() << '|' << row.sell.toStdString() << '|'
        << row.name.toStdString() << '}';
}

// ---- reading ----

struct ParseCase
{
    const char *name;
    QString text;
    QVector<RateRow> rows;
    int shown;
};

class RateTableParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(RateTableParse, ReadsRowsInTextOrder)
{
    const ParseCase &c = GetParam();
    const QVector<RateRow> rows = parseRateTable(c.text);
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(countShownRows(rows), c.shown);
    EXPECT_EQ(countShownRows(toRateSlots(rows)), c.shown);
}

static QString tenLines()
{
    QString text;
    for (int i = 1; i <= 10; ++i)
        text += line((i == 2 || i == 9 ? u"-C"_s : u"C"_s) + QString::number(i), u"b"_s + QString::number(i), u"s"_s,
                     u"n"_s);
    return text;
}

static QVector<RateRow> firstEightOfTen()
{
    QVector<RateRow> rows;
    for (int i = 1; i <= 8; ++i)
        rows.append({(i == 2 ? u"-C"_s : u"C"_s) + QString::number(i), u"b"_s + QString::number(i), u"s"_s, u"n"_s});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RateTableParse,
    testing::Values(
        ParseCase{"UsdAndSevenEmptyLines",
                  line(u"USD"_s, u"93,10"_s, u"94,50"_s, u"ДОЛЛАР США"_s) + EmptyLine.repeated(7),
                  QVector<RateRow>{{u"USD"_s, u"93,10"_s, u"94,50"_s, u"ДОЛЛАР США"_s}} + QVector<RateRow>(7),
                  1},
        ParseCase{"MinusCodeIsLoadedButHidden",
                  line(u"USD"_s, u"1"_s, u"2"_s, u"A"_s) + line(u"-EUR"_s, u"3"_s, u"4"_s, u"ЕВРО"_s)
                      + line(u"GBP"_s, u"5"_s, u"6"_s, u"C"_s),
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s},
                   {u"-EUR"_s, u"3"_s, u"4"_s, u"ЕВРО"_s},
                   {u"GBP"_s, u"5"_s, u"6"_s, u"C"_s}},
                  2},
        ParseCase{"EmptyCodeKeepsItsRates", line({}, u"93,10"_s, u"94,50"_s, u"ДОЛЛАР"_s),
                  {{{}, u"93,10"_s, u"94,50"_s, u"ДОЛЛАР"_s}}, 0},
        ParseCase{"SingleTabFillsCodeAndBuy", u"USD\t93,10\r\n"_s, {{u"USD"_s, u"93,10"_s, {}, {}}}, 1},
        ParseCase{"LineWithoutTabTakesNoSlot",
                  line(u"USD"_s, u"1"_s, u"2"_s, u"A"_s) + u"no tab here\r\n"_s
                      + line(u"EUR"_s, u"3"_s, u"4"_s, u"B"_s),
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"EUR"_s, u"3"_s, u"4"_s, u"B"_s}}, 2},
        ParseCase{"FifthFieldAndBeyondDropped", u"USD\t1\t2\tA\textra\tmore\r\n"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}}, 1},
        ParseCase{"FourthTabEndsTheName", u"USD\t1\t2\t\tname after an empty one\r\n"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, {}}}, 1},
        ParseCase{"TenLinesKeepTheFirstEight", tenLines(), firstEightOfTen(), 7},
        ParseCase{"NoFinalCrLfKeepsLastCharacter",
                  line(u"USD"_s, u"1"_s, u"2"_s, u"A"_s) + u"EUR\t3\t4\tЕВРО"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"EUR"_s, u"3"_s, u"4"_s, u"ЕВРО"_s}}, 2},
        ParseCase{"LastLineEndsInTab", u"USD\t"_s, {{u"USD"_s, {}, {}, {}}}, 1},
        ParseCase{"EmptyText", QString(), {}, 0},
        // Line ends the writer never produces: empty lines take no slot, a lone CR or a
        // bare LF ends a line, and a CR never eats a character other than LF.
        ParseCase{"EmptyLinesTakeNoSlot", u"\r\n\r\nUSD\t1\t2\tA\r\n\r\n"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}}, 1},
        ParseCase{"LoneCrEndsLineWithoutEatingNextCharacter", u"USD\t1\t2\tA\rEUR\t3\t4\tB"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"EUR"_s, u"3"_s, u"4"_s, u"B"_s}}, 2},
        ParseCase{"BareLfEndsLine", u"USD\t1\t2\tA\nEUR\t3\t4\tB\n"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"EUR"_s, u"3"_s, u"4"_s, u"B"_s}}, 2},
        ParseCase{"CrCrLfIsALineAndAnEmptyLine", u"USD\t1\t2\tA\r\r\nEUR\t3\t4\tB\r\n"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"EUR"_s, u"3"_s, u"4"_s, u"B"_s}}, 2},
        ParseCase{"LfCrIsTwoLineEnds", u"USD\t1\t2\tA\n\rEUR\t3\t4\tB"_s,
                  {{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"EUR"_s, u"3"_s, u"4"_s, u"B"_s}}, 2}),
    [](const testing::TestParamInfo<ParseCase> &info) { return std::string(info.param.name); });

TEST(RateTable, ShownRowRule)
{
    EXPECT_TRUE(isShownRow(u"USD"_s));
    EXPECT_TRUE(isShownRow(u" "_s));
    EXPECT_TRUE(isShownRow(u"U-SD"_s));
    EXPECT_FALSE(isShownRow(QString()));
    EXPECT_FALSE(isShownRow(u""_s));
    EXPECT_FALSE(isShownRow(u"-USD"_s));
    EXPECT_FALSE(isShownRow(u"-"_s));
}

TEST(RateTable, TextAfterTheEighthRowDoesNotMatter)
{
    const QString eight = line(u"USD"_s, u"1"_s, u"2"_s, u"A"_s).repeated(8);
    const QVector<RateRow> expected = parseRateTable(eight);
    ASSERT_EQ(expected.size(), RateSlotCount);
    for (const QString &tail : {u"EUR\t3\t4\tB\r\n"_s, u"\r\r\r\t\t\t\t"_s, QString(100000, u'\t')})
        EXPECT_EQ(parseRateTable(eight + tail), expected);
}

TEST(RateTable, SlotsPastTheParsedRowsAreEmpty)
{
    const QVector<RateRow> rows{{u"USD"_s, u"1"_s, u"2"_s, u"A"_s}, {u"-EUR"_s, u"3"_s, u"4"_s, u"B"_s}};
    const RateSlots filled = toRateSlots(rows);
    EXPECT_EQ(filled[0], rows[0]);
    EXPECT_EQ(filled[1], rows[1]);
    for (size_t i = 2; i < filled.size(); ++i)
        EXPECT_EQ(filled[i], RateRow{}) << "slot " << i;
}

// ---- writing ----

struct WriteCase
{
    const char *name;
    RateSlots rows;
};

class RateTableWrite : public testing::TestWithParam<WriteCase>
{
};

static RateSlots designRows()
{
    const QStringList codes{u"USD"_s, u"EUR"_s, u"YUAN"_s, u"GOLD"_s, u"SILVER"_s, u"PLATINUM"_s, u"PALLADIUM"_s};
    const QStringList names{u"ДОЛЛАР США"_s, u"ЕВРО"_s, u"КИТАЙ ЮАНЬ"_s, u"ЗОЛОТО"_s,
                            u"СЕРЕБРО"_s, u"ПЛАТИНА"_s, u"ПАЛЛАДИЙ"_s};
    RateSlots rows;
    for (qsizetype i = 0; i < codes.size(); ++i)
        rows[static_cast<size_t>(i)] = {codes[i], u"0,000"_s, u"0,000"_s, names[i]};
    return rows;
}

static RateSlots separatorsEverywhere()
{
    RateSlots rows;
    rows[0] = {u"US\tD"_s, u"93\r\n10"_s, u"\r"_s, u"ДОЛЛАР\nСША"_s};
    rows[3] = {u"\t\t\t"_s, u"\r\n\r\n"_s, u"\t"_s, u"a\tb\tc\td\te"_s};
    rows[7] = {u"-EUR\r"_s, {}, u"\n"_s, u"ЕВРО\t"_s};
    return rows;
}

static RateSlots oddCharacters()
{
    RateSlots rows;
    rows[1] = {QString(1, QChar(0)), QString(32, u'9'), u"  "_s, QString(1, QChar(0xD800))};
    rows[2] = {u"-"_s, u"\u2028"_s, u"\u0085"_s, QString(5000, u'Ж')};
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Cases, RateTableWrite,
                         testing::Values(WriteCase{"AllEmpty", {}}, WriteCase{"DesignRows", designRows()},
                                         WriteCase{"SeparatorsInFields", separatorsEverywhere()},
                                         WriteCase{"OddCharacters", oddCharacters()}),
                         [](const testing::TestParamInfo<WriteCase> &info) { return std::string(info.param.name); });

TEST_P(RateTableWrite, AlwaysEightLinesOfFourFields)
{
    const QString text = writeRateTable(GetParam().rows);
    EXPECT_EQ(text.count(u'\t'), 24);
    EXPECT_EQ(text.count(u'\r'), 8);
    EXPECT_EQ(text.count(u'\n'), 8);
    EXPECT_EQ(text.count(CrLf), 8);
    EXPECT_TRUE(text.endsWith(CrLf));
    const QStringList lines = text.split(CrLf);
    ASSERT_EQ(lines.size(), 9);
    EXPECT_TRUE(lines.last().isEmpty());
    for (qsizetype i = 0; i < 8; ++i)
        EXPECT_EQ(lines[i].count(u'\t'), 3) << "line " << i + 1;
}

TEST_P(RateTableWrite, ReadsBackWhatTheEditorShows)
{
    const RateSlots &rows = GetParam().rows;
    const QVector<RateRow> back = parseRateTable(writeRateTable(rows));
    ASSERT_EQ(back.size(), RateSlotCount);
    for (qsizetype i = 0; i < RateSlotCount; ++i)
        EXPECT_EQ(back[i], sanitized(rows[static_cast<size_t>(i)])) << "slot " << i + 1;
    EXPECT_EQ(writeRateTable(toRateSlots(back)), writeRateTable(rows));
}

TEST(RateTable, WritesTheStoredForm)
{
    RateSlots rows;
    rows[0] = {u"USD"_s, u"93,10"_s, u"94,50"_s, u"ДОЛЛАР США"_s};
    rows[2] = {u"-EUR"_s, {}, u"1"_s, {}};
    EXPECT_EQ(writeRateTable(rows), u"USD\t93,10\t94,50\tДОЛЛАР США\r\n"
                                    u"\t\t\t\r\n"
                                    u"-EUR\t\t1\t\r\n"
                                    u"\t\t\t\r\n\t\t\t\r\n\t\t\t\r\n\t\t\t\r\n\t\t\t\r\n"_s);
}

// ---- field sanitising ----

struct SanitizeCase
{
    const char *name;
    QString typed;
    QString kept;
};

class RateFieldSanitize : public testing::TestWithParam<SanitizeCase>
{
};

TEST_P(RateFieldSanitize, SeparatorsBecomeSpaces)
{
    EXPECT_EQ(sanitizeRateField(GetParam().typed), GetParam().kept);
}

// Whatever the editor keeps in a field comes back unchanged, in the same slot, after the
// table has been written and read again.
TEST_P(RateFieldSanitize, KeptTextSurvivesARestart)
{
    const QString kept = sanitizeRateField(GetParam().typed);
    RateSlots rows = designRows();
    rows[2].name = kept;
    rows[5].code = kept;
    rows[7] = {u"LAST"_s, kept, kept, u"end"_s};
    const QVector<RateRow> back = parseRateTable(writeRateTable(rows));
    EXPECT_EQ(back, QVector<RateRow>(rows.begin(), rows.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RateFieldSanitize,
    testing::Values(SanitizeCase{"Plain", u"ДОЛЛАР США"_s, u"ДОЛЛАР США"_s},
                    SanitizeCase{"Empty", QString(), QString()},
                    SanitizeCase{"TypedTab", u"93\t10"_s, u"93 10"_s},
                    SanitizeCase{"PastedWindowsLines", u"КИТАЙ\r\nЮАНЬ\r\n"_s, u"КИТАЙ  ЮАНЬ  "_s},
                    SanitizeCase{"PastedUnixLines", u"a\nb\nc"_s, u"a b c"_s},
                    SanitizeCase{"LoneCr", u"\rUSD"_s, u" USD"_s},
                    SanitizeCase{"OnlySeparators", u"\t\r\n\t"_s, u"    "_s},
                    SanitizeCase{"OtherControlsStay", units(u"a\u000Bb\u0000c\u2028d"sv), units(u"a\u000Bb\u0000c\u2028d"sv)}),
    [](const testing::TestParamInfo<SanitizeCase> &info) { return std::string(info.param.name); });

// ---- hostile input ----

struct HostileCase
{
    const char *name;
    QString (*make)();
    qsizetype rows;
};

class RateTableHostile : public testing::TestWithParam<HostileCase>
{
};

TEST_P(RateTableHostile, LoadsWithoutHarm)
{
    const QVector<RateRow> rows = parseRateTable(GetParam().make());
    EXPECT_EQ(rows.size(), GetParam().rows);
    expectWellFormed(rows);
}

static QString randomBytes(unsigned seed, qsizetype size, bool latin1)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = static_cast<char>(random() & 0xFF);
    return latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

static QString randomUnits(unsigned seed, qsizetype size)
{
    std::mt19937 random(seed);
    // Mostly the characters that matter to the reader, so that rows do form.
    const char16_t pick[] = {u'\t', u'\r', u'\n', u'-', 0, 0xD800, 0xDFFF, 0xFFFF, u'Ж', u'a'};
    QString text(size, Qt::Uninitialized);
    for (QChar &c : text) {
        const auto r = random();
        c = QChar(r % 3 == 0 ? static_cast<char16_t>(r >> 8) : pick[(r >> 8) % std::size(pick)]);
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RateTableHostile,
    testing::Values(
        HostileCase{"TenMegabytesWithoutSeparators", [] { return QString(10 * 1024 * 1024, u'x'); }, 0},
        HostileCase{"TenMegabyteLineOfTabs", [] { return u"a\t"_s.repeated(5 * 1024 * 1024); }, 1},
        HostileCase{"TenMegabytesOfRows", [] { return line(u"USD"_s, u"1"_s, u"2"_s, u"A"_s).repeated(1000000); },
                    8},
        HostileCase{"ThousandLines",
                    [] {
                        QString text;
                        for (int i = 0; i < 1000; ++i)
                            text += line(u"L"_s + QString::number(i), u"1"_s, u"2"_s, u"n"_s);
                        return text;
                    },
                    8},
        HostileCase{"FiftyFieldsPerLine", [] { return (u"f\t"_s.repeated(49) + u"f\r\n"_s).repeated(20); }, 8},
        HostileCase{"OnlyLoneCrs", [] { return QString(1024 * 1024, u'\r'); }, 0},
        HostileCase{"LoneCrsBetweenTabs", [] { return u"\t\r"_s.repeated(100000); }, 8},
        HostileCase{"NulCharacters", [] { return units(u"\0\t\0\t\0\t\0\r\n"sv).repeated(3); }, 3},
        HostileCase{"RandomLatin1Bytes", [] { return randomBytes(1, 64 * 1024, true); }, 8},
        HostileCase{"RandomUtf8Bytes", [] { return randomBytes(2, 64 * 1024, false); }, 8},
        HostileCase{"RandomCodeUnits", [] { return randomUnits(3, 64 * 1024); }, 8}),
    [](const testing::TestParamInfo<HostileCase> &info) { return std::string(info.param.name); });

TEST(RateTable, NulCharactersStayInTheirFields)
{
    const QVector<RateRow> rows = parseRateTable(units(u"\0A\tB\0\t\t\0\r\n"sv));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (RateRow{units(u"\0A"sv), units(u"B\0"sv), {}, QString(1, QChar(0))}));
    EXPECT_EQ(countShownRows(rows), 1);
}
