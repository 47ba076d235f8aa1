#pragma once
// A parameter sheet: an editable set of named values described in an XML file (root
// "parameters", one "item" element per value with its label, help text, default, data type,
// usage flags and restrictions). The header editor's "fb2-header.xml" is one; there an item's
// name is the XPath of its value in the book.
#include <QList>
#include <QString>
#include <QStringList>

namespace lbv {

class XmlDocument;

enum class ParameterType {
    String,
    MultiString, // paragraphs, one per line
    Number, // a whole number
    Float, // a decimal number
    Date, // YYYY-MM-DD
    Boolean,
    FilePath,
    DirPath,
    StringList, // the lists hold one entry per line
    DirPathList,
    FilePathList,
    ParamList,
};

// Usage flags; "editable" is what an item is without "readonly".
enum ParameterUsage : unsigned {
    kUsageOptional = 1u << 0, // may be empty (an empty value removes it)
    kUsageEditable = 1u << 1,
    kUsageReadOnly = 1u << 2,
    kUsageHidden = 1u << 3, // never shown; its value passes through unchanged
    kUsageAdvanced = 1u << 4, // shown only with "Advanced" on
    kUsageUser = 1u << 5,
};

enum class RestrictionKind { Choice, Min, Max, Regexp, MinLength, MaxLength, Fraction };

struct ParameterRestriction {
    RestrictionKind kind;
    QString value;
};

struct ParameterItem {
    QString name;
    QString shortName;
    QString description;
    QString value;
    ParameterType type = ParameterType::String;
    unsigned usage = 0;
    QList<ParameterRestriction> restrictions;

    bool Is(ParameterUsage flag) const { return (usage & flag) != 0; }
    bool IsList() const;
    // The values of the "choice" restrictions in file order; empty when the item has none.
    QStringList Choices() const;
};

struct ParameterSheet {
    QList<ParameterItem> items;
};

// Reads a description file; false with the reason (the XML loader's text for a file that does
// not load, else what is wrong with the description). Restriction values are checked here so
// that validation can rely on them.
bool LoadParameterSheet(const QString& path, ParameterSheet* sheet, QString* error);
bool ReadParameterSheet(const XmlDocument& document, ParameterSheet* sheet, QString* error);

// Multi-line values (multistring and the lists) keep their lines joined by CR LF.
QStringList SplitValueLines(const QString& value);
QString JoinValueLines(const QStringList& lines);

} // namespace lbv
