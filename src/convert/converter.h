#pragma once
// The document converter contract: the import hands a converter the user's conversion options
// (section "Any2FB2" of the settings) one property at a time, in a fixed order, then asks it to
// turn one file into a FictionBook 2.0 document. A converter reports failure with its own
// message text and never throws.
#include "catalog/xml_document.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace lbv {

class SettingsStore;

// One conversion option as passed to a converter: an int for the switches, the text type,
// "FixCount" and "LinkDepth"; a QString for the regular expressions.
struct ConverterProperty {
    QString name;
    QVariant value;
    bool operator==(const ConverterProperty&) const = default;
};
using ConverterProperties = QList<ConverterProperty>;

// The text type values of property "TextType".
enum class TextType : int { Auto = 0, Indented = 1, EmptyLines = 2 };

// Reads section "Any2FB2" into the properties in the order converters receive them: the
// switches PreserveForm .. FollowOffSiteLinks as 0/1, TextType as 0/1/2, FixCount (default 4),
// LinkDepth (0 while FollowLinks is off), then OnlyFollowLinks, NeverFollowLinks, HeadersRegexp,
// OnLoad and OnResult. Absent values take the defaults of ConverterSettings()
// (converter_options.h), which the options dialog shows too.
ConverterProperties ReadConverterProperties(SettingsStore& settings);

// What a conversion gives back: an FB2 document, or none and the converter's message text.
// The document's text form (XmlDocument::Xml) starts with the declaration <?xml version="1.0"?>
// and, when the converter found no genre, holds exactly "<genre></genre>" for the import to
// fill in.
struct ConversionResult {
    XmlDocumentPtr document;
    QString message;

    bool Succeeded() const { return document != nullptr; }
};

class DocumentConverter {
public:
    virtual ~DocumentConverter() = default;

    // Sets one option; false with the reason for a name the converter does not know or a value
    // of the wrong kind.
    virtual bool SetProperty(const QString& name, const QVariant& value, QString* error) = 0;
    // Converts the file at `path` with the options set so far.
    virtual ConversionResult Convert(const QString& path) = 0;
};

// Sets every property in order, stopping at the first the converter refuses (its reason in
// `error`).
bool ApplyConverterProperties(
    DocumentConverter& converter, const ConverterProperties& properties, QString* error);

} // namespace lbv
