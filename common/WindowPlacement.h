#pragma once

#include <QWidget>

namespace tabel {

// Dialogs open centred on the window that opened them, as the users are used to.
inline void centreOnOpener(QWidget& dialog)
{
    if (const QWidget* opener = dialog.parentWidget())
        dialog.move(opener->window()->geometry().center() - dialog.rect().center());
}

} // namespace tabel
