#include "convert/converter.h"

#include "convert/converter_options.h"
#include "settings/settings_store.h"

namespace lbv {

namespace {

int TextTypeOf(const QString& format)
{
    if (format == u"Indented")
        return int(TextType::Indented);
    if (format == u"EmptyLines")
        return int(TextType::EmptyLines);
    return int(TextType::Auto);
}

} // namespace

ConverterProperties ReadConverterProperties(SettingsStore& settings)
{
    ConverterProperties properties;
    for (const ConverterSetting& setting : ConverterSettings()) {
        if (!setting.property)
            continue;
        const QString property = QString::fromUtf16(setting.property);
        if (property == u"LinkDepth")
            properties.append({property, EffectiveLinkDepth(settings)});
        else if (setting.kind == ConverterValueKind::TextFormat)
            properties.append(
                {property, TextTypeOf(ReadConverterSetting(settings, setting).toString())});
        else
            properties.append({property, ReadConverterSetting(settings, setting)});
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
