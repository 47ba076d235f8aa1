#pragma once
// The genre dictionary: per display language, a title for each FB2 genre code and a two-level
// tree of root genres and their subgenres, read from an XML file ("genre-dict.xml"). Every list
// is in descending case-insensitive code order with no two codes equal (the first in the file
// wins). A dictionary that fails to load leaves what was read so far; titles fall back to codes.
#include <QList>
#include <QString>

namespace lbv {

class SettingsStore;

struct GenreEntry {
    QString code;
    QString title;
};

struct LanguageEntry {
    QString code;
    QString name;
};

struct RootGenre {
    QString code;
    QString title;
    QList<GenreEntry> subgenres;
};

class GenreDictionary {
public:
    // Reads the file for the language `languageCode`. On failure returns false with the reason
    // in `errorText`; the collections keep what was read before the failure.
    bool Load(const QString& path, const QString& languageCode, QString* errorText);

    // The title of a code, or the code itself when the dictionary does not know it.
    QString TitleOf(const QString& code) const;
    const QList<LanguageEntry>& Languages() const { return languages_; }
    const QList<RootGenre>& Roots() const { return roots_; }
    // Every root genre and subgenre, in code order.
    const QList<GenreEntry>& AllGenres() const { return genres_; }

    // Bumped by every load; caches of genre titles compare it to know they are stale.
    quint64 Generation() const { return generation_; }

private:
    void Clear();

    QList<GenreEntry> genres_;
    QList<LanguageEntry> languages_;
    QList<RootGenre> roots_;
    quint64 generation_ = 0;
};

// The dictionary the program shows genres with; loaded at start-up and when the user picks
// another genre language.
GenreDictionary& ProgramGenreDictionary();
// Loads the program's dictionary from the stored "GenreDict" file in the stored "GenreLang"
// language. Only the GUI thread may call it, and only while no other thread reads the
// dictionary. False with the reason in `errorText` on failure.
bool LoadProgramGenreDictionary(SettingsStore& settings, QString* errorText);

} // namespace lbv
