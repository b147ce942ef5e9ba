#pragma once

#include <QString>
#include <QStringList>

namespace tabel {

// An operation is made either for finished goods (kind 0) or for blanks; any other stored
// value counts as blanks, as the shared statements' CASE reads it, so that the windows and
// the lists built by the server name a record alike.
QString productKindCaption(int kind);

// The captions in the order of their kinds, for a choice list whose index is the kind.
QStringList productKindCaptions();

} // namespace tabel
