#pragma once

#include <QValidator>

namespace tabel {

// A one-line name as the database will keep it: control characters (a pasted tab or line
// break, or a NUL the server would refuse) are dropped, and the length is counted in
// characters, never cutting one in half, as the column counts them. A box's own maxLength
// counts UTF-16 units and would split an emoji at the limit.
class OneLineTextValidator : public QValidator
{
public:
    // maxCharacters < 0: no limit.
    explicit OneLineTextValidator(int maxCharacters, QObject* parent = nullptr)
        : QValidator(parent), m_maxCharacters(maxCharacters)
    {
    }
    State validate(QString& input, int& position) const override;

    static QString cleaned(const QString& text, int maxCharacters);

private:
    int m_maxCharacters;
};

} // namespace tabel
