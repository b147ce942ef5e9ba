#include "reference/ProductsBook.h"

#include "db/DataModule.h"
#include "db/Transaction.h"

namespace tabel {

namespace {
SqlParams productParams(const QString& grade, const ProductData& product)
{
    return {{":marka", grade}, {":massa", product.rate}, {":item", product.classId}};
}
} // namespace

ProductsBook::ProductsBook(DataModule& dataModule) : m_dataModule(dataModule) {}

bool ProductsBook::isDuplicate(const QString& grade, std::optional<int> excludedId)
{
    // The server upper-cases both sides, so the comparison follows one rule for every letter.
    return m_dataModule.isDuplicate(
        QStringLiteral("izdel/") + grade.toUpper(),
        QStringLiteral("select count(*) as cnt from accounts_dep.izdel where upper(marka)=upper(:marka)"),
        {{":marka", grade}}, excludedId);
}

bool ProductsBook::add(const ProductData& product)
{
    const QString grade = product.grade.trimmed();
    Transaction transaction(m_dataModule.database());
    if (isDuplicate(grade, std::nullopt))
        return false;
    m_dataModule.database().execute(
        QStringLiteral("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, "
                       "id_class_item)VALUES(:marka, '', 6, :massa, :item)"),
        productParams(grade, product));
    transaction.commit();
    return true;
}

bool ProductsBook::change(int id, const ProductData& product)
{
    const QString grade = product.grade.trimmed();
    Transaction transaction(m_dataModule.database());
    if (isDuplicate(grade, id))
        return false;
    SqlParams params = productParams(grade, product);
    params.append({":id", id});
    m_dataModule.database().execute(
        QStringLiteral(
            "UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption=:marka, s_description='', id_msm_bs=6, "
            "massa=:massa, id_class_item=:item where id=:id"),
        params);
    transaction.commit();
    return true;
}

} // namespace tabel
