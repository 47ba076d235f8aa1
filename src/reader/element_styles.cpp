#include "reader/element_styles.h"

#include "reader/reader_settings.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

// rcc's initialiser for the reader's resources; a static library needs the explicit call.
static void InitReaderResources()
{
    Q_INIT_RESOURCE(reader_resources);
}

namespace lbv {
namespace {

constexpr QStringView kBehaviourLetters = u"apofestcdlqxrivbg";
constexpr int kQualifiedNameLimit = 84;

// One blank-delimited word of a table line.
class LineScanner {
public:
    explicit LineScanner(QStringView line) : line_(line) { }

    bool Word(QStringView& word)
    {
        while (pos_ < line_.size() && line_[pos_].isSpace())
            ++pos_;
        const qsizetype start = pos_;
        while (pos_ < line_.size() && !line_[pos_].isSpace())
            ++pos_;
        word = line_.mid(start, pos_ - start);
        return !word.isEmpty();
    }

    // A signed decimal clamped to min..max; "*" gives kInherit.
    bool Number(int min, int max, int& value)
    {
        QStringView word;
        if (!Word(word))
            return false;
        if (word == u"*") {
            value = kInherit;
            return true;
        }
        bool ok = false;
        const qlonglong parsed = word.toLongLong(&ok);
        if (!ok)
            return false;
        value = int(std::clamp<qlonglong>(parsed, min, max));
        return true;
    }

    bool Char(QChar& c)
    {
        QStringView word;
        if (!Word(word))
            return false;
        c = word[0];
        return true;
    }

private:
    QStringView line_;
    qsizetype pos_ = 0;
};

uint8_t Switch(QChar c)
{
    if (c == u'+')
        return 1;
    if (c == u'-')
        return 0;
    return kInherit;
}

uint8_t Align(QChar c)
{
    switch (c.unicode()) {
    case u'C':
        return 2;
    case u'J':
        return 4;
    case u'R':
        return 1;
    default:
        return kInherit;
    }
}

bool ParseRow(QStringView line, ElementStyle& row, QStringList& elements)
{
    LineScanner scan(line);
    QStringView name, letters, names;
    QChar bold, italic, underline, align;
    int size, colour, left, right, first;
    if (!scan.Word(name) || !scan.Number(-100, 100, size) || !scan.Char(bold)
        || !scan.Char(italic) || !scan.Char(underline) || !scan.Number(0, 8, colour)
        || !scan.Char(align) || !scan.Number(-100, 100, left) || !scan.Number(-100, 100, right)
        || !scan.Number(-100, 100, first) || !scan.Word(letters) || !scan.Word(names))
        return false;
    row.name = name.toString().replace(u'_', u' ');
    row.size = int8_t(size);
    row.bold = Switch(bold);
    row.italic = Switch(italic);
    row.underline = Switch(underline);
    row.colour = uint8_t(colour);
    row.align = Align(align);
    row.leftIndent = left;
    row.rightIndent = right;
    row.firstLineIndent = first;
    row.behaviour = BehaviourFromLetters(letters);
    elements = names.toString().split(u',', Qt::SkipEmptyParts);
    return true;
}

bool HasSavedValue(const ElementStyle& row)
{
    return !row.name.isEmpty() && !row.name.startsWith(u'*');
}

// Stored values pass through the same ranges the table text is read with, so a hand-edited
// value can't produce a style the state can't hold.
int ClampStyleNumber(int value, int min, int max)
{
    return value == kInherit ? kInherit : std::clamp(value, min, max);
}

uint8_t ClampSwitch(int value)
{
    return (value == 0 || value == 1) ? uint8_t(value) : uint8_t(kInherit);
}

uint8_t ClampAlign(int value)
{
    return (value == 0 || value == 1 || value == 2 || value == 4) ? uint8_t(value)
                                                                  : uint8_t(kInherit);
}

} // namespace

uint32_t BehaviourFromLetters(QStringView letters)
{
    uint32_t bits = 0;
    for (QChar c : letters) {
        const qsizetype bit = kBehaviourLetters.indexOf(c);
        if (bit >= 0)
            bits |= 1u << bit;
    }
    return bits;
}

QString ElementStyle::SettingsValue() const
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9")
        .arg(size)
        .arg(bold)
        .arg(italic)
        .arg(underline)
        .arg(colour)
        .arg(align)
        .arg(leftIndent)
        .arg(rightIndent)
        .arg(firstLineIndent);
}

bool ElementStyle::ApplySettingsValue(const QString& value)
{
    const QStringList parts = value.split(u',');
    if (parts.size() != 9)
        return false;
    int numbers[9];
    for (int i = 0; i < 9; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    size = int8_t(ClampStyleNumber(numbers[0], -100, 100));
    bold = ClampSwitch(numbers[1]);
    italic = ClampSwitch(numbers[2]);
    underline = ClampSwitch(numbers[3]);
    colour = uint8_t(ClampStyleNumber(numbers[4], 0, 8));
    align = ClampAlign(numbers[5]);
    leftIndent = ClampStyleNumber(numbers[6], -100, 100);
    rightIndent = ClampStyleNumber(numbers[7], -100, 100);
    firstLineIndent = ClampStyleNumber(numbers[8], -100, 100);
    return true;
}

ElementStyleTable::ElementStyleTable()
{
    rows_.emplace_back();
}

ElementStyleTable ElementStyleTable::FromText(const QString& text)
{
    ElementStyleTable table;
    QStringView all(text);
    if (all.startsWith(QChar(0xFEFF)))
        all = all.mid(1);
    for (QStringView line : all.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line[0] == u'\t' || line[0] == u' ' || line[0] == u'#')
            continue;
        ElementStyle row;
        QStringList elements;
        if (ParseRow(line, row, elements))
            table.AddRow(std::move(row), elements);
    }
    return table;
}

ElementStyleTable ElementStyleTable::BuiltIn()
{
    InitReaderResources();
    QFile resource(QStringLiteral(":/reader/xml_elements"));
    if (!resource.open(QIODevice::ReadOnly))
        return ElementStyleTable();
    return FromText(QString::fromUtf8(resource.readAll()));
}

void ElementStyleTable::AddRow(ElementStyle row, const QStringList& elements)
{
    const int index = int(rows_.size());
    rows_.push_back(std::move(row));
    for (const QString& element : elements) {
        const QByteArray name = element.toUtf8();
        byElement_.insert(QByteArray(kFictionBookNamespace) + '|' + name.left(kQualifiedNameLimit),
            index);
        byElement_.insert('|' + name, index);
        byElement_.insert(name, index);
    }
}

void ElementStyleTable::ApplyOverrides(SettingsStore& store)
{
    for (ElementStyle& row : rows_) {
        if (!HasSavedValue(row))
            continue;
        const QString value = store.GetProfileString(kStylesSection, row.name, QString());
        if (!value.isEmpty())
            row.ApplySettingsValue(value);
    }
}

void ElementStyleTable::StoreOverrides(SettingsStore& store) const
{
    for (const ElementStyle& row : rows_)
        if (HasSavedValue(row))
            store.WriteProfileString(kStylesSection, row.name, row.SettingsValue());
}

int ElementStyleTable::Find(QByteArrayView name) const
{
    return byElement_.value(QByteArray::fromRawData(name.data(), name.size()), 0);
}

int ElementStyleTable::FindStyleName(const QString& rowName) const
{
    for (std::size_t i = 1; i < rows_.size(); ++i)
        if (rows_[i].name == rowName)
            return int(i);
    return -1;
}

const ElementStyleTable& DefaultElementStyles()
{
    static const ElementStyleTable table = ElementStyleTable::BuiltIn();
    return table;
}

} // namespace lbv
