// Fills the book list with the 1,000 books of one author in a generated catalog of 100,000
// books by 20,000 authors, offscreen: the rows (sizing each book's file on disk), the first
// layout and one paint of the visible rows. Target 30 ms; the best of several rounds.
#include "bench_support.h"
#include "gui/shelf/book_list_ctrl.h"
#include "gui/shelf/book_list_dialogs.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "shelf/genre_dictionary.h"
#include "synthetic_catalog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace lbv;

namespace {

constexpr int kBooks = 100000;
constexpr int kAuthors = 20000;
constexpr int kAuthorBooks = 1000;
constexpr int kRounds = 5;

// One author with a thousand books, each in a small file of its own.
CGroup* AddProlificAuthor(CLibravonDoc& doc, const QString& folder)
{
    BookDescription h;
    h.firstName = QStringLiteral("Prolific");
    h.lastName = QStringLiteral("Writer");
    h.genre = QStringLiteral("sf");
    for (int i = 0; i < kAuthorBooks; ++i) {
        h.title = QStringLiteral("Volume %1").arg(i);
        h.year = 1950 + i % 70;
        h.file = folder + QStringLiteral("/volume%1.fb2").arg(i);
        QFile file(h.file);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1000 + 97 * i, 'x'));
        doc.AddBook(h, false);
    }
    return doc.FindAuthor(h)->FindGroup(kDefaultGroupName);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;

    CLibravonDoc doc;
    doc.path = folder.filePath(QStringLiteral("index.lvf"));
    bench::FillSyntheticCatalog(doc, kBooks - kAuthorBooks, kAuthors - 1);
    CGroup* group = AddProlificAuthor(doc, folder.path());

    SettingsStore settings(std::make_unique<MemorySettingsBackend>());
    StandardBookListDialogs dialogs;
    GenreDictionary genres;
    CBookListCtrl list(settings, dialogs, genres);
    list.resize(900, 600);
    list.show();
    QApplication::processEvents();

    bench::Timing best;
    for (int round = 0; round < kRounds; ++round) {
        list.Clear();
        QApplication::processEvents();
        const bench::Stopwatch watch;
        list.ShowGroup(&doc, group);
        list.doItemsLayout();
        list.viewport()->grab();
        watch.KeepBest(&best);
    }
    std::printf("author list filled: %.0f ms\n", best.wall * 1e3);
    std::printf("(thread CPU %.1f ms, %d rows)\n", best.cpu * 1e3, list.model()->rowCount());
    return 0;
}
