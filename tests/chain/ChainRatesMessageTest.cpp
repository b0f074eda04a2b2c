#include "chain/RatesMessage.h"

#include <gtest/gtest.h>

namespace {

ChainRates sampleRates()
{
    ChainRates rates;
    rates.version = 42;
    rates.changed = QDateTime::fromString(QStringLiteral("2026-12-11T10:15:00+03:00"), Qt::ISODate);
    rates.from = QStringLiteral("центр");
    rates.rates = {{QStringLiteral("USD"), QStringLiteral("92,10"), QStringLiteral("93,40"), QStringLiteral("Доллар США")},
                   {QStringLiteral("EUR"), QStringLiteral("99.5"), QStringLiteral("101"), QString()}};
    return rates;
}

// A valid document with one part replaced: `key` of the root gets the raw JSON `value`.
QByteArray documentWith(const char *key, const QByteArray &value)
{
    QByteArray text = writeChainRates(sampleRates());
    const QByteArray needle = QByteArray("\"") + key + "\":";
    const qsizetype start = text.indexOf(needle) + needle.size();
    qsizetype end = start;
    int depth = 0;
    bool inString = false;
    for (; end < text.size(); ++end) {
        const char c = text[end];
        if (inString) {
            if (c == '\\')
                ++end;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if (c == ']' || c == '}') {
            if (depth == 0)
                break;
            --depth;
        } else if (c == ',' && depth == 0) {
            break;
        }
    }
    return text.left(start) + value + text.mid(end);
}

QByteArray rowsOf(int count, const QByteArray &code = "USD")
{
    QByteArray rows = "[";
    for (int i = 0; i < count; ++i)
        rows += (i ? "," : "") + QByteArray(R"({"code":")") + code + R"(","buy":"1","sell":"2","name":"x"})";
    return rows + "]";
}

TEST(ChainRatesMessage, WhatIsWrittenReadsBackTheSame)
{
    const ChainRates rates = sampleRates();
    const ChainRatesReading reading = readChainRates(writeChainRates(rates));
    ASSERT_TRUE(reading.ok) << reading.reason.toStdString();
    EXPECT_EQ(reading.rates, rates);
    EXPECT_EQ(reading.rates.changed.offsetFromUtc(), 3 * 3600) << "the time keeps its offset";
}

TEST(ChainRatesMessage, TheLimitsThemselvesAreAccepted)
{
    const QByteArray longest = QByteArray(ChainRatesLimits::kMaxFieldLength / 2, 'A') + QByteArray("Ж").repeated(30);
    for (const QByteArray &document :
         {documentWith("rates", rowsOf(ChainRatesLimits::kMaxRows)), documentWith("rates", rowsOf(1, longest)),
          documentWith("version", "9007199254740991"), documentWith("rates", "[]"), documentWith("version", "1"),
          documentWith("changed", R"("2026-12-11T07:15:00Z")"),
          documentWith("changed", R"("2026-12-11T10:15:00.250+0300")"),
          documentWith("changed", R"("2026-12-11T02:15:00-08:00")")}) {
        const ChainRatesReading reading = readChainRates(document);
        EXPECT_TRUE(reading.ok) << document.toStdString() << ": " << reading.reason.toStdString();
    }
}

struct BadPayload
{
    const char *name;
    QByteArray payload;
    const char *reasonStart;
};

class ChainRatesRefused : public ::testing::TestWithParam<BadPayload>
{
};

TEST_P(ChainRatesRefused, AsAWholeWithItsReason)
{
    const ChainRatesReading reading = readChainRates(GetParam().payload);
    EXPECT_FALSE(reading.ok);
    EXPECT_TRUE(reading.reason.startsWith(QString::fromUtf8(GetParam().reasonStart))) << reading.reason.toStdString();
    EXPECT_EQ(reading.rates, ChainRates{}) << "nothing of a refused table is handed on";
}

// A document just over 64 KB that would otherwise read well: the limit is on the bytes.
QByteArray oversizedButValid()
{
    QByteArray document = writeChainRates(sampleRates());
    document.insert(1, "\"padding\":\"" + QByteArray(ChainRatesLimits::kMaxPayloadBytes - document.size(), 'x') + "\",");
    return document;
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, ChainRatesRefused,
    ::testing::Values(
        BadPayload{"OverSixtyFourKilobytes", oversizedButValid(), "сообщение больше 64 КБ"},
        BadPayload{"NotUtf8", documentWith("from", "\"\xC0\xAF\""), "текст не в кодировке UTF-8"},
        BadPayload{"TruncatedUtf8", documentWith("from", "\"\xD0\""), "текст не в кодировке UTF-8"},
        BadPayload{"Empty", QByteArray(), "не JSON"},
        BadPayload{"CutShort", writeChainRates(sampleRates()).chopped(3), "не JSON"},
        BadPayload{"AnArray", "[1,2]", "JSON не объект"},
        BadPayload{"VersionMissing", R"({"changed":"2026-12-11T10:00:00Z","from":"a","rates":[]})",
                   "версия не целое положительное число"},
        BadPayload{"VersionZero", documentWith("version", "0"), "версия не целое"},
        BadPayload{"VersionNegative", documentWith("version", "-3"), "версия не целое"},
        BadPayload{"VersionFraction", documentWith("version", "2.5"), "версия не целое"},
        BadPayload{"VersionAsText", documentWith("version", "\"7\""), "версия не целое"},
        BadPayload{"VersionBeyondExactNumbers", documentWith("version", "1e300"), "версия не целое"},
        BadPayload{"ChangedWithoutOffset", documentWith("changed", R"("2026-12-11T10:00:00")"), "время «changed»"},
        BadPayload{"ChangedDateOnly", documentWith("changed", R"("2026-12-11")"), "время «changed»"},
        BadPayload{"ChangedNotATime", documentWith("changed", R"("yesterday+03:00")"), "время «changed»"},
        BadPayload{"FromMissing", R"({"version":3,"changed":"2026-12-11T10:00:00Z","rates":[]})",
                   "нет текстового поля «from»"},
        BadPayload{"RatesNotAList", documentWith("rates", "{}"), "нет списка курсов"},
        BadPayload{"RowNotAnObject", documentWith("rates", "[\"USD\"]"), "строка курсов не объект"},
        BadPayload{"NineRows", documentWith("rates", rowsOf(9)), "строк курсов больше 8"},
        BadPayload{"SellMissing", documentWith("rates", R"([{"code":"USD","buy":"1","name":""}])"),
                   "нет текстового поля «sell»"},
        BadPayload{"BuyAsNumber", documentWith("rates", R"([{"code":"USD","buy":1,"sell":"2","name":""}])"),
                   "нет текстового поля «buy»"},
        BadPayload{"FieldOfSixtyOne", documentWith("rates", rowsOf(1, QByteArray(61, 'A'))), "поле длиннее 60 знаков"},
        BadPayload{"LongFrom", documentWith("from", '"' + QByteArray(61, 'b') + '"'), "поле длиннее 60 знаков «from»"},
        BadPayload{"TabInCode", documentWith("rates", rowsOf(1, "US\\tD")), "управляющий символ в поле «code»"},
        BadPayload{"CarriageReturnInFrom", documentWith("from", R"("a\rb")"), "управляющий символ в поле «from»"},
        BadPayload{"LineFeedInName",
                   documentWith("rates", R"([{"code":"USD","buy":"1","sell":"2","name":"a\nb"}])"),
                   "управляющий символ в поле «name»"},
        BadPayload{"EscapeInSell", documentWith("rates", R"([{"code":"USD","buy":"1","sell":"\u001b[2J","name":""}])"),
                   "управляющий символ в поле «sell»"},
        BadPayload{"NextLineControl", documentWith("rates", rowsOf(1, "U\xC2\x85SD")), "управляющий символ"},
        BadPayload{"LineSeparator", documentWith("from", "\"a\xE2\x80\xA8" "b\""), "управляющий символ"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
