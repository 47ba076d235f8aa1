// Running plug-ins on a big library: the index document the host builds for each call, the
// statistics plug-in's walk over it (one file-system lookup per book), and the reload that
// follows a plug-in that changed the index. 100,000 books by 20,000 authors; processor seconds.
#include "catalog/libravon_doc.h"
#include "catalog/xml_document.h"
#include "plugins/catalog_exchange.h"
#include "plugins/plugin_host.h"
#include "plugins/plugin_module.h"
#include "plugins/plugin_object.h"
#include "synthetic_catalog.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
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

// Processor time (user and system) of the process: steadier than wall time on a shared machine,
// and the file-system lookups count as system time.
class CpuTimer {
public:
    CpuTimer() { restart(); }
    void restart() { start_ = Now(); }
    double Seconds() const { return Now() - start_; }

private:
    static double Now()
    {
        timespec now;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    }
    double start_ = 0;
};

// The bare cost of the plug-in's lookups: one stat() per stored book path.
double StatLimit(const CLibravonDoc& catalog)
{
    QList<QByteArray> paths;
    for (const auto& author : catalog.Authors())
        for (const auto& group : author->Groups())
            for (const auto& book : group->Books())
                paths << QFile::encodeName(book->StoredFilePath());
    const CpuTimer timer;
    struct stat status;
    int found = 0;
    for (const QByteArray& path : std::as_const(paths))
        found += ::stat(path.constData(), &status) == 0;
    const double seconds = timer.Seconds();
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
    CpuTimer timer;
    XmlDocument document;
    if (!StoreCatalog(catalog, document, &error)) {
        std::fprintf(stderr, "store failed: %s\n", qPrintable(error));
        return 1;
    }
    const double store = timer.Seconds();

    timer.restart();
    if (!ReloadCatalog(catalog, document, &error)) {
        std::fprintf(stderr, "reload failed: %s\n", qPrintable(error));
        return 1;
    }
    const double reload = timer.Seconds();

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
    // The plug-in alone, on the document already built.
    PluginObject<ILibravonPlugin> plugin;
    HostServicesTable table(services);
    if (LBV_FAILED(modules.Create(statistics->registration.clsid,
            statistics->registration.modulePath, LBV_IID_ILIBRAVONPLUGIN, table.Table(),
            plugin.Out(), &error)))
        return 1;
    int32_t changed = 0;
    timer.restart();
    plugin.Methods()->Execute(plugin.Get(), 0, document.Doc(), &changed);
    const double walk = timer.Seconds();

    timer.restart();
    host.Execute(*statistics, catalog, 0);
    const double execute = timer.Seconds();
    const double limit = StatLimit(catalog);

    std::printf("Index document for a plug-in call: %.3f s\n", store);
    std::printf("Reload after a changed index:      %.3f s\n", reload);
    std::printf("Statistics plug-in's walk:         %.3f s (%.0f books/s)\n", walk, kBooks / walk);
    std::printf("Limit, one stat() per book alone:  %.3f s; walk/limit = %.2f\n", limit,
        walk / limit);
    std::printf("Statistics through the host:       %.3f s (document, walk, folder switch)\n",
        execute);
    std::printf("Reported: %s\n", qPrintable(services.lastText.replace(QStringLiteral("\r\n"),
                                       QStringLiteral(" | "))));
    return 0;
}
