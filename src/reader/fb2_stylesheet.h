#pragma once
// Reads the rules of an FB2 text/css stylesheet in the reader's own short form: a name, then
// one-letter commands ("b" bold on, "B" off, "i"/"I", "u"/"U", "l" "r" "c" "j" align, "F" "L"
// "R" first, left and right indent, "S" size, "h" colour slot, each number right after its
// letter), and ";" ending the rule. Text may arrive in pieces.
#include "reader/element_styles.h"

#include <QHash>
#include <QString>
#include <vector>

namespace lbv {

class StylesheetReader {
public:
    void Reset();
    void Feed(QStringView text);
    // The style of a rule name, or null.
    const ElementStyle* Find(const QString& name) const;

private:
    void Command(QChar c);
    void FinishNumber();
    void FinishRule();

    std::vector<ElementStyle> rules_;
    QHash<QString, int> byName_;
    ElementStyle current_;
    QString name_;
    bool nameDone_ = false;
    QChar numberCommand_; // the letter whose number is being read; null when none
    QString number_;
};

} // namespace lbv
