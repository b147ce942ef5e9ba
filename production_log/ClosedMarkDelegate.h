#pragma once

#include "common/QueryGrid.h"

namespace tabel {

// The "OK" column: bold, green for a closed record, red for an open one (or no mark at all).
class ClosedMarkDelegate : public GridDelegate
{
public:
    using GridDelegate::GridDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace tabel
