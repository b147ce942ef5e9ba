#pragma once

#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace tabel {

// A value an editor takes only from a list: the box shows the choice and cannot be typed in
// or tabbed to, and the "..." button beside it opens the list. The button is what the
// label's shortcut and the tab order reach. Enter or Space on the focused button opens the
// list; Enter anywhere else still works the editor's default button.
struct PickField
{
    QLineEdit* box = nullptr;
    QPushButton* button = nullptr;
};

// The box and its button, both children of parent, for the caller to place. The button's
// accessible name says what it picks, since its caption does not.
PickField makePickField(QWidget* parent, const QString& boxName, int boxWidth, const QString& buttonName,
                        const QString& buttonAccessibleName);

} // namespace tabel
