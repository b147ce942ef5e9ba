#include "shell/BuildStamp.h"

namespace tabel {

namespace buildstamp {
// Defined in the copy of BuildStampNow.cpp that the build regenerates every time.
const char* dateText();
const char* timeText();
} // namespace buildstamp

namespace {
// Characters past the end read as nothing, so a short text cannot read out of bounds.
QChar at(const QString& text, int index)
{
    return index < text.size() ? text.at(index) : QChar();
}

bool is(const QString& text, int index, char expected)
{
    return at(text, index) == QLatin1Char(expected);
}

// A character that is not a digit counts as 0 rather than spoiling the whole number.
int digit(const QString& text, int index)
{
    return qMax(0, at(text, index).digitValue());
}

int month(const QString& date)
{
    // The third letter tells most months apart; Jan/Jun and Mar/Apr need one more letter.
    if (is(date, 2, '?'))
        return 1;
    if (is(date, 2, 'n'))
        return is(date, 1, 'a') ? 1 : 6;
    if (is(date, 2, 'b'))
        return 2;
    if (is(date, 2, 'r'))
        return is(date, 0, 'M') ? 3 : 4;
    if (is(date, 2, 'y'))
        return 5;
    if (is(date, 2, 'l'))
        return 7;
    if (is(date, 2, 'g'))
        return 8;
    if (is(date, 2, 'p'))
        return 9;
    if (is(date, 2, 't'))
        return 10;
    if (is(date, 2, 'v'))
        return 11;
    return 12;
}

int day(const QString& date)
{
    if (is(date, 4, '?'))
        return 1;
    // Days below 10 are padded with a blank, not a zero.
    return digit(date, 5) + (is(date, 4, ' ') ? 0 : 10 * digit(date, 4));
}

int year(const QString& date)
{
    if (is(date, 7, '?'))
        return 1900;
    return date.mid(7, 4).toInt();
}
} // namespace

BuildStamp BuildStamp::parse(const QString& dateText, const QString& timeText)
{
    BuildStamp stamp;
    // Joined as text and read back, so a year of other than four digits still gives the
    // number every other copy of the program computes.
    const QString dateNumber = QString::number(year(dateText)) +
                               QStringLiteral("%1").arg(month(dateText), 2, 10, QLatin1Char('0')) +
                               QStringLiteral("%1").arg(day(dateText), 2, 10, QLatin1Char('0'));
    stamp.date = dateNumber.toInt();
    stamp.time = 36000 * digit(timeText, 0) + 3600 * digit(timeText, 1) + 600 * digit(timeText, 3) +
                 60 * digit(timeText, 4) + 10 * digit(timeText, 6) + digit(timeText, 7);
    return stamp;
}

BuildStamp BuildStamp::current()
{
    return parse(QString::fromLatin1(buildstamp::dateText()), QString::fromLatin1(buildstamp::timeText()));
}

QString BuildStamp::text() const
{
    return QString::number(date) + QLatin1Char('.') + QString::number(time);
}

} // namespace tabel
