#include "reader/fb2_stylesheet.h"

#include <algorithm>

namespace lbv {

void StylesheetReader::Reset()
{
    rules_.clear();
    byName_.clear();
    current_ = ElementStyle();
    name_.clear();
    nameDone_ = false;
    numberCommand_ = QChar();
    number_.clear();
}

void StylesheetReader::Feed(QStringView text)
{
    for (QChar c : text) {
        if (!nameDone_) {
            if (c == u';') {
                FinishRule();
            } else if (c.isSpace()) {
                nameDone_ = !name_.isEmpty();
            } else {
                name_.append(c);
            }
            continue;
        }
        if (!numberCommand_.isNull()) {
            if (c.isDigit() || c == u'-') {
                number_.append(c);
                continue;
            }
            FinishNumber();
        }
        Command(c);
    }
}

void StylesheetReader::Command(QChar c)
{
    switch (c.unicode()) {
    case u'b':
    case u'B':
        current_.bold = c == u'b';
        break;
    case u'i':
    case u'I':
        current_.italic = c == u'i';
        break;
    case u'u':
    case u'U':
        current_.underline = c == u'u';
        break;
    case u'l':
        current_.align = 0;
        break;
    case u'r':
        current_.align = 1;
        break;
    case u'c':
        current_.align = 2;
        break;
    case u'j':
        current_.align = 4;
        break;
    case u'F':
    case u'L':
    case u'R':
    case u'S':
    case u'h':
        numberCommand_ = c;
        number_.clear();
        break;
    case u';':
        FinishRule();
        break;
    default:
        break; // anything else is decoration
    }
}

void StylesheetReader::FinishNumber()
{
    bool ok = false;
    const qlonglong parsed = number_.toLongLong(&ok);
    const int value = ok ? int(std::clamp<qlonglong>(parsed, -100, 100)) : 0;
    switch (numberCommand_.unicode()) {
    case u'F':
        current_.firstLineIndent = value;
        break;
    case u'L':
        current_.leftIndent = value;
        break;
    case u'R':
        current_.rightIndent = value;
        break;
    case u'S':
        current_.size = int8_t(value);
        break;
    case u'h':
        current_.colour = uint8_t(std::clamp(value, 0, 7));
        break;
    default:
        break;
    }
    numberCommand_ = QChar();
    number_.clear();
}

void StylesheetReader::FinishRule()
{
    if (!numberCommand_.isNull())
        FinishNumber();
    if (!name_.isEmpty()) {
        current_.name = name_;
        const auto existing = byName_.constFind(name_);
        if (existing != byName_.constEnd()) {
            rules_[std::size_t(*existing)] = current_;
        } else {
            byName_.insert(name_, int(rules_.size()));
            rules_.push_back(current_);
        }
    }
    current_ = ElementStyle();
    name_.clear();
    nameDone_ = false;
}

const ElementStyle* StylesheetReader::Find(const QString& name) const
{
    const auto it = byName_.constFind(name);
    return it == byName_.constEnd() ? nullptr : &rules_[std::size_t(*it)];
}

} // namespace lbv
