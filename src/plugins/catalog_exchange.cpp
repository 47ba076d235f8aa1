#include "plugins/catalog_exchange.h"

#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"

#include <cstring>

namespace lbv {
namespace {

// Keeps the catalog's messages as text for the host to show in its own words.
class CollectedErrors final : public IndexFileUi {
public:
    void ShowError(const QString& text) override { AddText(text); }
    void ShowMessage(const QString& text) override { AddText(text); }
    const QString& Text() const { return text_; }

private:
    void AddText(const QString& text)
    {
        if (!text_.isEmpty())
            text_ += QStringLiteral("\r\n");
        text_ += text;
    }

    QString text_;
};

} // namespace

bool StoreCatalog(const CLibravonDoc& catalog, XmlDocument& document, QString* error)
{
    CollectedErrors errors;
    if (catalog.BuildIndex(document, &errors))
        return true;
    *error = errors.Text();
    return false;
}

bool ReloadCatalog(CLibravonDoc& catalog, const XmlDocument& document, QString* error)
{
    // An index read from any other root is empty: taking it would empty the library.
    const xmlNode* root = document.Root();
    if (!root || std::strcmp(reinterpret_cast<const char*>(root->name), "books") != 0) {
        *error = QStringLiteral("The index document has no <books> root element.");
        return false;
    }
    CollectedErrors errors;
    if (!catalog.ParseIndex(document, &errors, ParseFailure::KeepCatalog)) {
        *error = errors.Text();
        return false;
    }
    catalog.SetModified(true);
    return true;
}

} // namespace lbv
