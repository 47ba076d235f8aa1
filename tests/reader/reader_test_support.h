#pragma once
// Helpers of the reader tests: FB2 text around a body, documents loaded from memory, and a
// paragraph's text and attributes in a form that reads well in assertions.
#include "reader/byte_source.h"
#include "reader/document_options.h"
#include "reader/fb2_document.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace lbv::test {

inline QByteArray Fb2(const QByteArray& inside, const QByteArray& encoding = "utf-8")
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding
        + "\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
          "xmlns:l=\"http://www.w3.org/1999/xlink\">\n"
        + inside + "\n</FictionBook>\n";
}

inline QByteArray Fb2Body(const QByteArray& body)
{
    return Fb2("<description><title-info><book-title>T</book-title></title-info></description>"
               "<body>"
        + body + "</body>");
}

struct LoadedFb2 {
    std::unique_ptr<Fb2Document> document;
    std::vector<ContentsEntry> contents;
    bool ok = false;
    QString error;
};

inline LoadedFb2 LoadFb2(const QByteArray& bytes, int codePage = -1, DocumentOptions options = {})
{
    LoadedFb2 loaded;
    auto contents = std::make_shared<std::vector<ContentsEntry>>();
    options.observer.contents = [contents](const ContentsEntry& e) { contents->push_back(e); };
    loaded.document
        = std::make_unique<Fb2Document>(std::make_unique<MemoryByteSource>(bytes), options);
    loaded.ok = loaded.document->Load(codePage);
    loaded.error = loaded.document->ErrorText();
    loaded.contents = *contents;
    return loaded;
}

// The texts of every non-empty paragraph of a body, in order.
inline QStringList BodyTexts(DocumentSource& document, int body)
{
    QStringList texts;
    for (int i = 0; i < document.ParagraphCount(body); ++i) {
        const ParagraphView view = document.GetParagraph(body, i);
        if (!view.text.isEmpty())
            texts.append(view.text);
    }
    return texts;
}

// A settings store over memory, for reading and writing reader settings.
inline std::unique_ptr<SettingsStore> MemoryStore()
{
    return std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>());
}

inline int Colour(uint16_t attribute)
{
    return attribute >> kAttrColourShift & 7;
}

} // namespace lbv::test
