#include "reader/dictionary_list.h"

#include "text/messages.h"

namespace lbv {
namespace {

const QString kSection = QStringLiteral("Parameters");
const QString kName = QStringLiteral("Dictionary");

} // namespace

DictionaryList DictionaryList::FromSetting(const QString& value)
{
    DictionaryList list;
    const QStringList parts = value.split(u'?');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QStringView path = parts[i];
        if (path.startsWith(u'*'))
            path = path.mid(1);
        if (!path.isEmpty())
            list.paths_.append(path.toString());
    }
    list.SetCurrent(parts.first().trimmed().toInt());
    return list;
}

QString DictionaryList::ToSetting() const
{
    QString value = QString::number(current_);
    for (const QString& path : paths_)
        value += u'?' + path;
    return value;
}

DictionaryList DictionaryList::Load(SettingsStore& store)
{
    return FromSetting(store.GetProfileString(kSection, kName));
}

void DictionaryList::Save(SettingsStore& store) const
{
    store.WriteProfileString(kSection, kName, ToSetting());
}

QStringList DictionaryList::EntryNames() const
{
    return QStringList(MessageText(Msg::DictionaryDisabled)) + paths_;
}

void DictionaryList::SetCurrent(int entry)
{
    current_ = entry > 0 && entry <= paths_.size() ? entry : 0;
}

QString DictionaryList::CurrentPath() const
{
    return current_ > 0 ? paths_[current_ - 1] : QString();
}

void DictionaryList::Add(const QString& path)
{
    paths_.append(path);
}

void DictionaryList::Remove(int entry)
{
    if (entry <= 0 || entry > paths_.size())
        return;
    paths_.removeAt(entry - 1);
    if (entry == current_)
        current_ = 0;
    else if (entry < current_)
        --current_;
}

std::unique_ptr<Dictionary> OpenCurrentDictionary(const DictionaryList& list, QString* message)
{
    QString reason;
    std::unique_ptr<Dictionary> dictionary;
    if (list.IsEnabled())
        dictionary = Dictionary::Open(list.CurrentPath(), &reason);
    if (message)
        *message = dictionary || !list.IsEnabled() ? QString()
                                                   : MessageText(Msg::CantOpenDictionary) + reason;
    return dictionary;
}

} // namespace lbv
