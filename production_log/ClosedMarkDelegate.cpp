#include "production_log/ClosedMarkDelegate.h"

#include "production_log/ProductionRecords.h"

namespace tabel {

void ClosedMarkDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    GridDelegate::initStyleOption(option, index);
    const bool closed = ProductionRecords::isClosedMark(index.data().toString().trimmed());
    const QColor colour = closed ? QColor(0x00, 0x80, 0x00) : QColor(0xFF, 0x00, 0x00);
    option->font.setBold(true);
    option->palette.setColor(QPalette::Text, colour);
    option->palette.setColor(QPalette::HighlightedText, colour);
}

} // namespace tabel
