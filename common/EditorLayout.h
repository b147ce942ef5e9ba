#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QVBoxLayout;

namespace tabel {

// Every editor: its body above "Записать" (the default button, so Enter saves) and "Отмена"
// (Esc), named Button1 and Button2 as the users' old guides call them.
QVBoxLayout* layOutEditor(QDialog& dialog, QWidget* body, std::function<void()> save,
                          const QString& saveCaption = QStringLiteral("Записать"));

} // namespace tabel
