#pragma once

#include <QValidator>
#include <QVariant>
#include <optional>

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

// The number a typed rate stands for, read with either decimal mark, so that "12,5" and "12.5"
// store the same value whether the product is added or changed. Nothing when the text is not
// one number (empty, a lone point, two points).
std::optional<double> parseRate(const QString& typed);

// A stored rate as the box shows it: a decimal point, no trailing zeros; empty for NULL.
QString rateText(const QVariant& stored);

} // namespace tabel
