#pragma once
// A synthetic library catalog for benchmarks: Latin and Cyrillic authors, several groups for
// some of them, every book with a genre, a year, an import date and extra fields; most books at
// their standard place, some elsewhere, in other formats or compressions.
#include "catalog/libravon_doc.h"

#include <random>

namespace lbv::bench {

inline void FillSyntheticCatalog(CLibravonDoc& doc, int books, int authors, unsigned seed = 42)
{
    static const char16_t* const kFirst[] = {u"Ivar", u"Anna", u"John", u"Mary", u"Peter", u"Лев",
        u"Анна", u"Иван", u"Мария", u"Пётр", u"Ольга", u"Фёдор"};
    static const char16_t* const kLast[] = {u"Kessel", u"Adams", u"Brown", u"Clark", u"Толстой",
        u"Иванов", u"Петров", u"Сидоров", u"Чехов", u"Достоевский"};
    static const char16_t* const kWords[] = {u"Foundation", u"Night", u"River", u"Война", u"мир",
        u"Тихий", u"Дон", u"Star", u"Дорога", u"Garden", u"Море", u"Stone"};
    static const char* const kGenres[] = {"sf", "sf_fantasy", "det_classic", "prose_classic",
        "love_contemporary", "adv_history", "child_tale", "sci_history"};

    std::mt19937 rng(seed);
    auto pick = [&](auto& list) { return list[rng() % std::size(list)]; };
    const qint64 firstDay = 1104537600; // 2005-01-01
    const auto extensionOf = [](int format) { return FormatExtension(format); };
    for (int i = 0; i < books; ++i) {
        const int a = i % authors;
        BookDescription h;
        h.firstName = QString::fromUtf16(kFirst[a % std::size(kFirst)]);
        h.lastName = QString::fromUtf16(kLast[(a / std::size(kFirst)) % std::size(kLast)])
            + QString::number(a);
        h.title = QString::fromUtf16(pick(kWords)) + QLatin1Char(' ')
            + QString::fromUtf16(pick(kWords)) + QStringLiteral(" %1").arg(i);
        h.genre = QLatin1String(pick(kGenres));
        h.year = 1950 + int(rng() % 75);
        const unsigned kind = rng() % 20;
        h.format = kind == 0 ? FormatTxt : kind == 1 ? FormatHtml : FormatFb2;
        h.compression = kind < 4 ? CompressionNone : CompressionZip;
        h.file = kind == 5
            ? QStringLiteral("/mnt/old library/%1%2").arg(i).arg(extensionOf(h.format))
            : doc.StandardFileName(
                h.firstName, h.lastName, h.title, h.genre, h.format, h.compression);
        h.extras = {
            {QStringLiteral("Publisher"), QStringLiteral("Издательство %1").arg(rng() % 300)},
            {QStringLiteral("ISBN"), QStringLiteral("978-5-%1-%2").arg(rng() % 9000 + 1000).arg(i)},
            {QStringLiteral("Series"), QString::fromUtf16(pick(kWords))}};
        doc.AddBook(h, false);
        CBook* book = doc.FindBook(h);
        book->added = firstDay + qint64(rng() % (20 * 365)) * 86400 + rng() % 86400;
    }
    // One author in five files part of the books in a series group.
    for (const auto& author : doc.Authors()) {
        if (rng() % 5 != 0)
            continue;
        CGroup* series = doc.CreateGroup(author.get(), QStringLiteral("Серия %1").arg(rng() % 100));
        CGroup* fallback = author->FindGroup(kDefaultGroupName);
        if (!series || !fallback)
            continue;
        while (fallback->Books().size() > series->Books().size())
            doc.MoveBookToGroup(fallback->Books().back().get(), series);
    }
}

} // namespace lbv::bench
