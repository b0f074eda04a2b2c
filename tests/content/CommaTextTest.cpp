#include "tests/TestSupport.h"
#include "content/CommaText.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

using testsupport::text;

// A list and the text it is written as; the text reads back as the list.
struct Written
{
    const char *name;
    QStringList entries;
    QString text;
};

std::ostream &operator<<(std::ostream &out, const Written &written)
{
    return out << written.name;
}

class CommaTextWriteTest : public ::testing::TestWithParam<Written>
{
};

TEST_P(CommaTextWriteTest, WritesAndReadsBack)
{
    EXPECT_EQ(CommaText::write(GetParam().entries), GetParam().text);
    EXPECT_EQ(CommaText::read(GetParam().text), GetParam().entries);
}

const QString Nul(QChar(u'\0'));

INSTANTIATE_TEST_SUITE_P(
    Lists, CommaTextWriteTest,
    ::testing::Values(
        Written{"SpaceQuoted", {"p q", "r"}, R"("p q",r)"},
        Written{"OneEmptyEntry", {""}, R"("")"},
        Written{"EmptyList", {}, ""},
        Written{"TwoEmptyEntries", {"", ""}, ","},
        Written{"ThreeEmptyEntries", {"", "", ""}, ",,"},
        Written{"EmptyLast", {"x", ""}, "x,"},
        Written{"EmptyFirst", {"", "x"}, ",x"},
        Written{"EmptyBetween", {"a", "", "b"}, "a,,b"},
        Written{"QuotesDoubled", {R"(say "hi")", R"(")"}, R"("say ""hi""","""")"},
        Written{"CommaQuoted", {"1,5", "2"}, R"("1,5",2)"},
        Written{"TabQuoted", {"a\tb"}, "\"a\tb\""},
        Written{"LineEndsQuoted", {"a\r\nb", "\x1F"}, "\"a\r\nb\",\"\x1F\""},
        Written{"NulQuoted", {"a" + Nul + "b", Nul}, "\"a" + Nul + "b\",\"" + Nul + "\""},
        Written{"OuterBlanksKept", {" lead", "trail ", " "}, R"(" lead","trail "," ")"},
        Written{"PlainKept", {"USD", "98.50", "a'b", "x;y"}, "USD,98.50,a'b,x;y"},
        Written{"CyrillicPlain", {text(u"Курс"), text(u"доллара")}, text(u"Курс,доллара")},
        Written{"CyrillicWithSpace", {text(u"Курс доллара: 98,50")}, text(u"\"Курс доллара: 98,50\"")},
        Written{"NonBreakingSpaceIsPlain", {text(u"a\u00A0b")}, text(u"a\u00A0b")},
        Written{"CodeAboveBlankIsPlain", {"\x7F!"}, "\x7F!"}));

// Text that no writer makes, and the list the reader makes of it.
struct Read
{
    const char *name;
    QString text;
    QStringList entries;
};

std::ostream &operator<<(std::ostream &out, const Read &read)
{
    return out << read.name;
}

class CommaTextReadTest : public ::testing::TestWithParam<Read>
{
};

TEST_P(CommaTextReadTest, Reads)
{
    EXPECT_EQ(CommaText::read(GetParam().text), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommaTextReadTest,
    ::testing::Values(
        Read{"TrailingComma", "x,", {"x", ""}},
        Read{"LoneComma", ",", {"", ""}},
        Read{"BlanksOnly", " \t\r\n", {}},
        Read{"BlanksAroundFields", "  a  ,\t b \r\n", {"a", "b"}},
        Read{"BlanksAroundQuoted", R"(  "a b"  , c)", {"a b", "c"}},
        Read{"CommaThenBlankAtEnd", "x, ", {"x"}},
        Read{"BlankSeparates", "a b", {"a", "b"}},
        Read{"ControlSeparates", "a\x01" "b", {"a", "b"}},
        Read{"UnterminatedQuote", R"(a,"b c)", {"a", "b c"}},
        Read{"UnterminatedAfterDoubled", R"("b "")", {"b \""}},
        Read{"LoneQuote", "\"", {""}},
        Read{"TextAfterClosingQuote", R"("a"b,c)", {"a", "b", "c"}},
        Read{"QuoteInsidePlainField", R"(a"b)", {"a\"b"}},
        Read{"NulInsidePlainField", "a" + Nul + "b", {"a" + Nul + "b"}},
        Read{"NulIsNotSkipped", Nul + ",x", {Nul, "x"}},
        Read{"EmptyQuotedEntries", R"("","",)", {"", "", ""}},
        Read{"DoubledQuoteAtEnd", R"("a""")", {"a\""}}));

QChar randomChar(QRandomGenerator &random)
{
    static const QString awkward = text(u" \t\r\n\",\x01\x1F!aZ1Ёяё\u00A0\uFFFD\xD800\xDC00");
    if (random.bounded(4) == 0)
        return QChar(char16_t(random.bounded(0x10000)));
    if (random.bounded(3) == 0)
        return QChar(u'\0');
    return awkward[random.bounded(awkward.size())];
}

QStringList randomList(QRandomGenerator &random)
{
    QStringList entries;
    const int count = random.bounded(8);
    for (int i = 0; i < count; ++i) {
        QString entry;
        const int length = random.bounded(6);
        for (int j = 0; j < length; ++j)
            entry += randomChar(random);
        entries.append(entry);
    }
    return entries;
}

// Lists of empty entries, blanks, quotes, commas and zero codes in every arrangement the
// generator reaches, seeded so that a failure repeats.
TEST(CommaTextTest, AwkwardListsRoundTrip)
{
    QRandomGenerator random(1251);
    for (int round = 0; round < 20000; ++round) {
        const QStringList entries = randomList(random);
        const QString written = CommaText::write(entries);
        ASSERT_EQ(CommaText::read(written), entries) << written.toStdString();
    }
}

TEST(CommaTextTest, LargeListRoundTrips)
{
    QStringList entries;
    for (int i = 0; i < 100000; ++i)
        entries.append(i % 3 == 0 ? QStringLiteral("entry %1, \"quoted\"").arg(i) : QString::number(i));
    const QString written = CommaText::write(entries);
    EXPECT_EQ(written.count(u','), 100000 - 1 + (100000 + 2) / 3);
    EXPECT_EQ(CommaText::read(written), entries);
}

} // namespace
