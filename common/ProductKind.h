#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace tabel {

// An operation is made either for finished goods (code 0) or for blanks; any other code counts
// as blanks, and so does none at all (NULL, which other applications and the legacy import
// write), as the shared statements' CASE reads it. So the windows, the reports, the exports and
// the lists built by the server name a record alike.
bool isFinishedProducts(const QVariant& code);

// "Готовая продукция" or "Заготовки" by the rule above.
QString productKindCaption(const QVariant& code);

// The captions in the order of their codes, for a choice list whose index is the code.
QStringList productKindCaptions();

} // namespace tabel
