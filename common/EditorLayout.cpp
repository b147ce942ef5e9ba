#include "common/EditorLayout.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabel {

QVBoxLayout* layOutEditor(QDialog& dialog, QWidget* body, std::function<void()> save,
                          const QString& saveCaption)
{
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* saveButton = buttons->addButton(saveCaption, QDialogButtonBox::AcceptRole);
    saveButton->setObjectName(QStringLiteral("Button1"));
    saveButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Button2"));
    QObject::connect(saveButton, &QPushButton::clicked, &dialog, std::move(save));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(body);
    layout->addWidget(buttons);
    return layout;
}

} // namespace tabel
