#include "import/converter.h"

#include "settings/settings_store.h"

namespace lbv {

namespace {

const QString kSection = QStringLiteral("Any2FB2");

// The switches in the order the converter receives them.
constexpr const char16_t* kSwitches[] = {u"PreserveForm", u"NoConvertCharset", u"NoEpigraphs",
    u"NoEmptyLine", u"NoDescription", u"NoQuotes", u"NoFootnotes", u"NoItalic",
    u"NoRestoreBrokenParas", u"NoPoems", u"OnlyHHeaders", u"IgnoreIndent", u"ConvertDash",
    u"RemoveAllImages", u"RemoveOffSiteImages", u"PreserveDynamicImages", u"RemoveExternalLinks",
    u"FollowOffSiteLinks"};

constexpr const char16_t* kExpressions[]
    = {u"OnlyFollowLinks", u"NeverFollowLinks", u"HeadersRegexp", u"OnLoad", u"OnResult"};

// The options dialog spells two switches with a lower-case "s" ("RemoveOffsiteImages"); the
// settings file keeps names as written, so the dialog's spelling is read when the
// conversion's own is absent.
int ReadSwitch(SettingsStore& settings, const QString& name)
{
    int value = settings.GetProfileInt(kSection, name, SettingsStore::kAbsentMarker);
    if (value == SettingsStore::kAbsentMarker) {
        QString dialogName = name;
        dialogName.replace(QStringLiteral("OffSite"), QStringLiteral("Offsite"));
        value = dialogName == name ? 0 : settings.GetProfileInt(kSection, dialogName, 0);
    }
    return value != 0 ? 1 : 0;
}

// The dialog stores its text format choice as "TextFormat"; without it the user's choice would
// never reach the converter, so that name answers when "TextType" is not set.
int ReadTextType(SettingsStore& settings)
{
    QString text = settings.GetProfileString(kSection, QStringLiteral("TextType"));
    if (text.isEmpty())
        text = settings.GetProfileString(kSection, QStringLiteral("TextFormat"));
    if (text == u"Indented")
        return int(TextType::Indented);
    if (text == u"EmptyLines")
        return int(TextType::EmptyLines);
    return int(TextType::Auto);
}

} // namespace

ConverterProperties ReadConverterProperties(SettingsStore& settings)
{
    ConverterProperties properties;
    for (const char16_t* name : kSwitches) {
        const QString key = QString::fromUtf16(name);
        properties.append({key, ReadSwitch(settings, key)});
    }
    properties.append({QStringLiteral("TextType"), ReadTextType(settings)});
    properties.append({QStringLiteral("FixCount"),
        settings.GetProfileInt(kSection, QStringLiteral("FixCount"), 4)});
    properties.append({QStringLiteral("LinkDepth"),
        settings.GetProfileInt(kSection, QStringLiteral("LinkDepth"), 0)});
    for (const char16_t* name : kExpressions) {
        const QString key = QString::fromUtf16(name);
        properties.append({key, settings.GetProfileString(kSection, key)});
    }
    return properties;
}

bool ApplyConverterProperties(
    DocumentConverter& converter, const ConverterProperties& properties, QString* error)
{
    for (const ConverterProperty& property : properties)
        if (!converter.SetProperty(property.name, property.value, error))
            return false;
    return true;
}

} // namespace lbv
