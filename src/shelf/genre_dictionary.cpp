#include "shelf/genre_dictionary.h"

#include "catalog/xml_document.h"
#include "settings/settings_store.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <algorithm>

namespace lbv {
namespace {

// Descending case-insensitive code order: the first entry whose code does not sort after `code`.
template<typename Entry> auto LowerBound(const QList<Entry>& list, QStringView code)
{
    return std::lower_bound(list.begin(), list.end(), code,
        [](const Entry& entry, QStringView key) { return CompareNoCase(entry.code, key) > 0; });
}

// Inserts at the entry's place and returns its index; an entry whose code is already there is
// dropped (the first wins) and the index is that of the one kept.
template<typename Entry> qsizetype InsertByCode(QList<Entry>& list, Entry entry)
{
    const qsizetype index = LowerBound(list, entry.code) - list.begin();
    if (index < list.size() && EqualsNoCase(list[index].code, entry.code))
        return index;
    list.insert(index, std::move(entry));
    return index;
}

// The file name as message 297 shows it: after the last backslash, else after the last slash.
QString ShortFileName(const QString& path)
{
    qsizetype cut = path.lastIndexOf(u'\\');
    if (cut < 0)
        cut = path.lastIndexOf(u'/');
    return QStringLiteral("[\u2026]\\") + path.mid(cut + 1);
}

// Reading stops at the first thing missing; `failure` then describes it.
struct Reader {
    QString failure;

    std::optional<QString> Attribute(const xmlNode* element, const char* name)
    {
        std::optional<QString> value = AttributeText(element, QString::fromLatin1(name));
        if (!value)
            failure = QStringLiteral("element <%1> has no attribute \"%2\"")
                          .arg(QString::fromUtf8(reinterpret_cast<const char*>(element->name)),
                              QLatin1StringView(name));
        return value;
    }

    // The title attribute of the first `descriptionElement` child for `language`. The
    // language is put into the XPath as it stands: a code that breaks the path is an error.
    std::optional<QString> Title(const xmlNode* genre, const QString& code,
        const char* descriptionElement, const char* titleAttribute, const QString& language)
    {
        const QString xpath = QLatin1StringView(descriptionElement) + QStringLiteral("[@lang=\"")
            + language + QStringLiteral("\"]");
        QString error;
        const xmlNode* description = SelectSingleNode(genre, xpath, &error);
        if (!description) {
            failure = !error.isEmpty()
                ? error
                : QStringLiteral("genre \"%1\" has no <%2> for language \"%3\"")
                      .arg(code, QLatin1StringView(descriptionElement), language);
            return std::nullopt;
        }
        return Attribute(description, titleAttribute);
    }
};

} // namespace

bool GenreDictionary::Load(const QString& path, const QString& languageCode, QString* errorText)
{
    QString error;
    const XmlDocumentPtr document = LoadXmlFile(path, &error);
    if (!document) {
        if (errorText)
            *errorText = error;
        return false;
    }
    Clear();
    Reader reader;
    const auto fail = [&]() {
        if (errorText)
            *errorText = MessageText(Msg::GenreDictionaryLoadError).arg(reader.failure);
        return false;
    };

    bool languageFound = false;
    for (const xmlNode* language :
        SelectNodes(document->Node(), u"/fbjenresstructure/languages/language")) {
        const std::optional<QString> code = reader.Attribute(language, "code");
        const std::optional<QString> name
            = code ? reader.Attribute(language, "name") : std::nullopt;
        if (!name)
            return fail();
        languageFound = languageFound || EqualsNoCase(*code, languageCode);
        InsertByCode(languages_, LanguageEntry {*code, *name});
    }
    if (!languageFound) {
        if (errorText)
            *errorText
                = MessageText(Msg::GenreLanguageNotFound).arg(languageCode, ShortFileName(path));
        return false;
    }

    for (const xmlNode* genre : SelectNodes(document->Node(), u"//genre")) {
        const std::optional<QString> code = reader.Attribute(genre, "genre-path");
        const std::optional<QString> title = code
            ? reader.Title(genre, *code, "root-descr", "genre-title", languageCode)
            : std::nullopt;
        if (!title)
            return fail();
        InsertByCode(genres_, GenreEntry {*code, *title});
        // A root whose code is taken keeps its subgenres out of the tree, not out of the map.
        const qsizetype rootsBefore = roots_.size();
        const qsizetype rootIndex = InsertByCode(roots_, RootGenre {*code, *title, {}});
        RootGenre* root = roots_.size() > rootsBefore ? &roots_[rootIndex] : nullptr;
        for (const xmlNode* subgenre : SelectNodes(genre, u"subgenres/subgenre")) {
            const std::optional<QString> subcode = reader.Attribute(subgenre, "path");
            const std::optional<QString> subtitle = subcode
                ? reader.Title(subgenre, *subcode, "genre-descr", "title", languageCode)
                : std::nullopt;
            if (!subtitle)
                return fail();
            InsertByCode(genres_, GenreEntry {*subcode, *subtitle});
            if (root)
                InsertByCode(root->subgenres, GenreEntry {*subcode, *subtitle});
        }
    }
    return true;
}

void GenreDictionary::Clear()
{
    genres_.clear();
    languages_.clear();
    roots_.clear();
    ++generation_;
}

QString GenreDictionary::TitleOf(const QString& code) const
{
    const auto it = LowerBound(genres_, code);
    return it != genres_.end() && EqualsNoCase(it->code, code) ? it->title : code;
}

GenreDictionary& ProgramGenreDictionary()
{
    static GenreDictionary dictionary;
    return dictionary;
}

bool LoadProgramGenreDictionary(SettingsStore& settings, QString* errorText)
{
    const QString language = settings.GetProfileString(QString(), QStringLiteral("GenreLang"));
    const QString path = settings.GetProfileString(QString(), QStringLiteral("GenreDict"));
    return ProgramGenreDictionary().Load(path, language, errorText);
}

} // namespace lbv
