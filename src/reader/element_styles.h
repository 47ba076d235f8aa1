#pragma once
// The element style table: what each FB2 element does (its style and behaviour letters), built
// from the compiled-in "xml_elements" text and the user's overrides in section "Styles".
#include "settings/settings_store.h"
#include "text/fictionbook_namespace.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace lbv {

inline constexpr int kInherit = 127;

// Behaviour letters "apofestcdlqxrivbg" are bits 0..16 in that order.
enum ElementBehaviour : uint32_t {
    kBehaviourSection = 1u << 0, // a: section level +1
    kBehaviourParagraph = 1u << 1, // p: opens a paragraph inside a text context
    kBehaviourBody = 1u << 2, // o
    kBehaviourStyle = 1u << 3, // f: pushes the row's style
    kBehaviourEmptyLine = 1u << 4, // e: empty paragraph at the start
    kBehaviourSpaceAfter = 1u << 5, // s: a blank follows the element
    kBehaviourTitle = 1u << 6, // t
    kBehaviourTextContext = 1u << 7, // c
    kBehaviourAnchor = 1u << 8, // d: the "id" attribute is a link target
    kBehaviourLink = 1u << 9, // l
    kBehaviourEmptyLineAfter = 1u << 10, // q
    kBehaviourNamedStyle = 1u << 11, // x: a style of the document's stylesheet
    kBehaviourDescriptionHeading = 1u << 12, // r
    kBehaviourDescriptionItem = 1u << 13, // i
    kBehaviourStylesheet = 1u << 14, // v
    kBehaviourBinary = 1u << 15, // b
    kBehaviourImage = 1u << 16, // g
};
uint32_t BehaviourFromLetters(QStringView letters);

struct ElementStyle {
    int8_t size = kInherit; // -100..100
    uint8_t bold = kInherit;
    uint8_t italic = kInherit;
    uint8_t colour = kInherit; // slot 0..8
    uint8_t align = kInherit; // 0 default, 1 right, 2 centre, 4 justify
    uint8_t underline = kInherit;
    uint32_t behaviour = 0;
    int32_t leftIndent = kInherit; // negative: added to the enclosing indent
    int32_t rightIndent = kInherit;
    int32_t firstLineIndent = kInherit;
    QString name;

    // The settings form "%d,%d,%d,%d,%d,%d,%d,%d,%d": size, bold, italic, underline, colour,
    // align, left, right, first line.
    QString SettingsValue() const;
    // Takes a settings value; false (row unchanged) unless it holds exactly 9 numbers.
    bool ApplySettingsValue(const QString& value);
};

class ElementStyleTable {
public:
    ElementStyleTable(); // only the default row 0
    // Rows from the table text; comment lines and lines without 12 fields are skipped.
    static ElementStyleTable FromText(const QString& text);
    // The compiled-in table.
    static ElementStyleTable BuiltIn();

    // Rows whose name is non-empty and doesn't begin with "*" take their saved values.
    void ApplyOverrides(SettingsStore& store);
    void StoreOverrides(SettingsStore& store) const;

    // Row index for an element name as expat reports it ("uri|local", "|local" or "local");
    // 0, the default row, when unknown.
    int Find(QByteArrayView name) const;
    int FindStyleName(const QString& rowName) const; // by the row's name; -1 when absent
    const ElementStyle& Row(int index) const { return rows_[std::size_t(index)]; }
    ElementStyle& Row(int index) { return rows_[std::size_t(index)]; }
    int RowCount() const { return int(rows_.size()); }

private:
    void AddRow(ElementStyle row, const QStringList& elements);

    std::vector<ElementStyle> rows_;
    QHash<QByteArray, int> byElement_;
};

// The built-in table without overrides, built once; the reader uses it when it is given none.
const ElementStyleTable& DefaultElementStyles();

} // namespace lbv
