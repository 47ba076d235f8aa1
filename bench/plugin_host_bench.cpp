// Running plug-ins on a big library: the index document the host builds for each call, the
// statistics plug-in's walk over it (one file-system lookup per book), and the reload that
// follows a plug-in that changed the index. 100,000 books by 20,000 authors.
#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "plugins/catalog_exchange.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_module.h"
#include "synthetic_catalog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/stat.h>

using namespace lbv;

namespace {

constexpr int kBooks = 100000;
constexpr int kAuthors = 20000;

// Message boxes are counted, not shown.
class QuietServices final : public PluginHostServices {
public:
    int MessageBox(LbvWindow, const QString& text, const QString&, quint32) override
    {
        lastText = text;
        return LBV_IDOK;
    }
    void BeginWaitCursor() override { }
    void EndWaitCursor() override { }
    std::optional<QString> ChooseFolder(LbvWindow, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    QString lastText;
};

double Seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// The bare cost of the plug-in's lookups: one stat() per stored book path.
double StatLimit(const CLibravonDoc& catalog)
{
    QList<QByteArray> paths;
    for (const auto& author : catalog.Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                paths << QFile::encodeName(book->StoredFilePath());
    QElapsedTimer timer;
    timer.start();
    struct stat status;
    int found = 0;
    for (const QByteArray& path : std::as_const(paths))
        found += ::stat(path.constData(), &status) == 0;
    const double seconds = Seconds(timer);
    std::printf("(%d of %d stored files present)\n", found, int(paths.size()));
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    CLibravonDoc catalog;
    catalog.path = folder.filePath(QStringLiteral("index.lvf"));
    bench::FillSyntheticCatalog(catalog, kBooks, kAuthors);
    std::printf("Library: %d books by %d authors\n", kBooks, kAuthors);

    QString error;
    QElapsedTimer timer;
    timer.start();
    XmlDocument document;
    if (!StoreCatalog(catalog, document, &error)) {
        std::fprintf(stderr, "store failed: %s\n", qPrintable(error));
        return 1;
    }
    const double store = Seconds(timer);

    timer.restart();
    if (!ReloadCatalog(catalog, document, &error)) {
        std::fprintf(stderr, "reload failed: %s\n", qPrintable(error));
        return 1;
    }
    const double reload = Seconds(timer);

    QuietServices services;
    PluginModules modules;
    PluginHost host(services, modules);
    const QList<PluginRecord> plugins = host.List(LoadIndexPlugins(modules));
    const auto statistics = std::find_if(plugins.begin(), plugins.end(),
        [](const PluginRecord& p) { return p.name == u"Statistics"; });
    if (statistics == plugins.end()) {
        std::fprintf(stderr, "the statistics plug-in was not found in %s\n",
            qPrintable(PluginModules::DefaultFolders().join(u':')));
        return 1;
    }
    timer.restart();
    host.Execute(*statistics, catalog, 0);
    const double execute = Seconds(timer);
    const double limit = StatLimit(catalog);

    std::printf("Index document for a plug-in call: %.3f s\n", store);
    std::printf("Reload after a changed index:      %.3f s\n", reload);
    std::printf("Statistics plug-in, whole call:    %.3f s (%.0f books/s)\n", execute,
        kBooks / execute);
    std::printf("  of which the plug-in's walk:     %.3f s\n", execute - store);
    std::printf("Limit, one stat() per book alone:  %.3f s; walk/limit = %.2f\n", limit,
        (execute - store) / limit);
    std::printf("Reported: %s\n", qPrintable(services.lastText.replace(QStringLiteral("\r\n"),
                                       QStringLiteral(" | "))));
    return 0;
}
