#pragma once

#include <QValidator>
#include <QVariant>

namespace tabel {

// The keys of the "Расценка" box: digits pass, a point or a comma becomes a point, anything
// else is refused. As a validator it also holds for pasted text, which a key filter would miss.
class RateValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// A stored rate as the box shows it: a decimal point, no trailing zeros; empty for NULL.
QString rateText(const QVariant& stored);

} // namespace tabel
