#include "import/fb_xpath.h"

#include "catalog/xml_document.h"
#include "text/utf.h"

#include <QHash>
#include <QString>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <memory>
#include <utility>

namespace lbv {
namespace {

// As the XML layer refuses them; every path the program uses is far shorter.
constexpr qsizetype kMaxXPathLength = 4096;
// Paths come from the program and from extras.dat, so a handful per thread; the bound only keeps
// a pathological caller from growing the cache without end.
constexpr qsizetype kMaxCachedPaths = 256;

void IgnoreXPathError(void*, xmlError*)
{
}

class ThreadXPath {
public:
    ThreadXPath()
        : context_(xmlXPathNewContext(nullptr))
    {
        if (!context_)
            return;
        context_->error = IgnoreXPathError;
    }
    ~ThreadXPath()
    {
        for (xmlXPathCompExpr* compiled : std::as_const(compiled_))
            xmlXPathFreeCompExpr(compiled);
        xmlXPathFreeContext(context_);
    }
    ThreadXPath(const ThreadXPath&) = delete;
    ThreadXPath& operator=(const ThreadXPath&) = delete;

    xmlNode* SelectFirst(const xmlNode* node, QStringView xpath)
    {
        if (!context_ || !node || !node->doc || xpath.size() >= kMaxXPathLength)
            return nullptr;
        xmlXPathCompExpr* compiled = Compiled(xpath);
        if (!compiled)
            return nullptr;
        BindPrefix(FictionBookNamespaceOf(node->doc));
        context_->doc = node->doc;
        context_->node = const_cast<xmlNode*>(node);
        xmlXPathObject* result = xmlXPathCompiledEval(compiled, context_);
        context_->doc = nullptr;
        context_->node = nullptr;
        xmlNode* first = nullptr;
        if (result && result->type == XPATH_NODESET && result->nodesetval
            && result->nodesetval->nodeNr > 0)
            first = result->nodesetval->nodeTab[0];
        xmlXPathFreeObject(result);
        return first;
    }

private:
    // Compiled paths keep the prefix, not the namespace, so one cache serves both revisions.
    void BindPrefix(const char* uri)
    {
        if (uri == boundUri_)
            return;
        xmlXPathRegisterNs(context_, BAD_CAST "fb", BAD_CAST uri);
        boundUri_ = uri;
    }

    // Invalid paths are remembered too (as null), so they are not compiled again per book.
    xmlXPathCompExpr* Compiled(QStringView xpath)
    {
        const QString key = xpath.toString();
        if (const auto it = compiled_.constFind(key); it != compiled_.cend())
            return *it;
        xmlXPathCompExpr* compiled
            = xmlXPathCtxtCompile(context_, BAD_CAST ToUtf8(xpath).constData());
        if (compiled_.size() < kMaxCachedPaths)
            compiled_.insert(key, compiled);
        else
            cold_.reset(compiled);
        return compiled;
    }

    struct CompExprDeleter {
        void operator()(xmlXPathCompExpr* compiled) const { xmlXPathFreeCompExpr(compiled); }
    };

    xmlXPathContext* context_;
    const char* boundUri_ = nullptr;
    QHash<QString, xmlXPathCompExpr*> compiled_;
    std::unique_ptr<xmlXPathCompExpr, CompExprDeleter> cold_; // the last uncached path
};

} // namespace

xmlNode* SelectFirstFbNode(const xmlNode* context, QStringView xpath)
{
    thread_local ThreadXPath evaluator;
    return evaluator.SelectFirst(context, xpath);
}

} // namespace lbv
