#pragma once

#include <QString>
#include <optional>

namespace tabel {

class DataModule;

// What the product editor saves: the grade as typed, the rate already read as a number and
// the id of the product class.
struct ProductData
{
    QString grade;
    double rate = 0;
    int classId = 0;
};

// Writes of the products list; each is one transaction. A grade equal to another product's
// apart from letter case and surrounding blanks is refused: the answer is false, and the
// caller tells the user.
class ProductsBook
{
public:
    explicit ProductsBook(DataModule& dataModule);

    bool add(const ProductData& product);
    bool change(int id, const ProductData& product);

private:
    bool isDuplicate(const QString& grade, std::optional<int> excludedId);

    DataModule& m_dataModule;
};

} // namespace tabel
