// Feeds arbitrary bytes to the reader of the rate tables that offices send one another. A
// table it accepts must keep every limit it promises and read back the same after writing.

#include "chain/RatesMessage.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "chain rates fuzz: %s\n", what);
        std::abort();
    }
}

bool fieldKeepsTheLimits(const QString &field)
{
    if (field.size() > ChainRatesLimits::kMaxFieldLength)
        return false;
    for (const QChar c : field) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray payload(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ChainRatesReading reading = readChainRates(payload);
    require(reading.ok == reading.reason.isEmpty(), "a reading is either accepted or has a reason");
    if (!reading.ok)
        return 0;
    const ChainRates &rates = reading.rates;
    require(payload.size() <= ChainRatesLimits::kMaxPayloadBytes, "an oversized payload was accepted");
    require(rates.version >= 1 && rates.version <= ChainRatesLimits::kMaxVersion, "version out of range");
    require(rates.rates.size() <= ChainRatesLimits::kMaxRows, "more than eight rows");
    require(rates.changed.isValid(), "the time of the change is not valid");
    require(fieldKeepsTheLimits(rates.from), "the sender breaks a limit");
    for (const RateRow &row : rates.rates) {
        for (const QString *field : {&row.code, &row.buy, &row.sell, &row.name})
            require(fieldKeepsTheLimits(*field), "a field breaks a limit");
    }
    const ChainRatesReading again = readChainRates(writeChainRates(rates));
    require(again.ok, "a written table does not read back");
    require(again.rates.version == rates.version && again.rates.from == rates.from && again.rates.rates == rates.rates,
            "the table changed on the way back");
    require(again.rates.changed == rates.changed, "the time changed on the way back");
    return 0;
}
