#pragma once

#include <QAction>
#include <QTest>
#include <QWidget>

namespace tabel {

// Menus are driven as a user drives them: the action is found by its object name and must be
// enabled before it is triggered. Use with QVERIFY: false (with a warning) when it cannot be.
inline bool triggerAction(const QWidget& window, const QString& objectName)
{
    auto* action = window.findChild<QAction*>(objectName);
    if (!action) {
        qWarning("no action named %s", qPrintable(objectName));
        return false;
    }
    if (!action->isEnabled() || !action->isVisible()) {
        qWarning("action %s is switched off", qPrintable(objectName));
        return false;
    }
    action->trigger();
    return true;
}

} // namespace tabel
