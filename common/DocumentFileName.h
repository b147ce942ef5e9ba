#pragma once

#include <QString>

namespace tabel {

// A file name that says what the document is: "Табель Декабрь 2026.pdf". Characters that
// some file system refuses (the slash, the colon, ...) become "_".
QString documentFileName(const QString& documentName, const QString& suffix);

} // namespace tabel
