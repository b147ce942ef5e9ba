#pragma once

#include <QRect>
#include <QWidget>

namespace tabel {

// Puts a window's client area (its inside, without the title bar and borders) at the centre of
// area, itself a client area or a part of the screen. Client on client: move() places the
// frame, whose size the window system has not always told us yet, so a position reckoned from
// the client and given to the frame drifts by the height of the title bar from one opening
// to the next.
inline void centreOn(QWidget& window, const QRect& area)
{
    QRect placed(QPoint(), window.size());
    placed.moveCenter(area.center());
    window.setGeometry(placed);
}

// Dialogs open centred on the window that opened them, as the users are used to.
inline void centreOnOpener(QWidget& dialog)
{
    if (const QWidget* opener = dialog.parentWidget())
        centreOn(dialog, opener->window()->geometry());
}

} // namespace tabel
