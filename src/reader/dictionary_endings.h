#pragma once
// Base forms of an inflected English word (stopped -> stop, tries -> try, bigger -> big), tried
// in turn when a word is not in an English dictionary as written.
#include <QStringList>
#include <QStringView>

namespace lbv {

// Every form the ending rules give for the word, in rule order; endings match ignoring case.
// Words of 64 or more characters get no forms.
QStringList EnglishBaseForms(QStringView word);

} // namespace lbv
