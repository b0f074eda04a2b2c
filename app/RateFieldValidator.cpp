#include "RateFieldValidator.h"

#include "content/RateTable.h"

QValidator::State RateFieldValidator::validate(QString &input, int &) const
{
    input = sanitizeRateField(input);
    return Acceptable;
}

void RateFieldValidator::fixup(QString &input) const
{
    input = sanitizeRateField(input);
}
