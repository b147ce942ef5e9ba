#include "common/MenuKeyboard.h"

#include <QAction>
#include <QMenuBar>
#include <QShortcut>

namespace tabel {

namespace {
QAction* firstMenu(const QMenuBar& bar)
{
    for (QAction* action : bar.actions())
        if (action->menu() && action->isVisible() && action->isEnabled())
            return action;
    return nullptr;
}
} // namespace

void reachMenuByKeyboard(QMenuBar& bar)
{
    // F10 is the menu key of the desktops' own programs; Qt leaves it to the application.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar.window());
    f10->setContext(Qt::WindowShortcut);
    QObject::connect(f10, &QShortcut::activated, &bar, [&bar] {
        if (!bar.activeAction())
            bar.setActiveAction(firstMenu(bar));
    });
}

} // namespace tabel
