#pragma once

#include <QString>

class QAbstractItemModel;

namespace tabel {

// Rows that a grid shows by field name, with titles that outlive a reload of the rows.
class GridSource
{
public:
    virtual QAbstractItemModel* model() = 0;
    virtual int fieldIndex(const QString& field) const = 0;
    virtual void setFieldTitle(const QString& field, const QString& title) = 0;

protected:
    ~GridSource() = default;
};

} // namespace tabel
