#pragma once

#include <QTest>

namespace tabel {

// QTest::keyClicks knows only ASCII; users type Cyrillic.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

} // namespace tabel
