#pragma once

#include <QValidator>

namespace tabel {

// Digits only, and never more than the database column can hold: a number that would be
// refused on saving cannot even be typed.
class DigitsValidator : public QValidator
{
public:
    DigitsValidator(qint64 maximum, QObject* parent = nullptr) : QValidator(parent), m_maximum(maximum) {}
    State validate(QString& input, int& position) const override;

private:
    qint64 m_maximum;
};

} // namespace tabel
