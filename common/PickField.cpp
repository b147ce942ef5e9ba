#include "common/PickField.h"

#include <QLineEdit>
#include <QPushButton>

namespace tabel {

PickField makePickField(QWidget* parent, const QString& boxName, int boxWidth, const QString& buttonName,
                        const QString& buttonAccessibleName)
{
    PickField field;
    field.box = new QLineEdit(parent);
    field.box->setObjectName(boxName);
    field.box->setReadOnly(true);
    field.box->setFocusPolicy(Qt::NoFocus);
    field.box->setFixedWidth(boxWidth);
    field.button = new QPushButton(QStringLiteral("..."), parent);
    field.button->setObjectName(buttonName);
    field.button->setAccessibleName(buttonAccessibleName);
    field.button->setFixedWidth(32);
    // The default only while it has the focus: Enter on it picks, Enter in a box saves.
    field.button->setAutoDefault(true);
    return field;
}

} // namespace tabel
