#pragma once

#include <QValidator>

// Keeps TAB, CR and LF out of a rate table field, whether typed or pasted: each becomes a
// space, because the stored table would read them as separators after the next start.
class RateFieldValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
    void fixup(QString &input) const override;
};
