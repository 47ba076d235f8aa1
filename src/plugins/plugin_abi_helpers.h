#pragma once
// Helpers for C++ code on either side of the plug-in interface: strings crossing it (UTF-16,
// NUL-terminated, freed by the side that allocated them) and registration values.
#include "plugins/libravon_plugin.h"

#include <QString>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace lbv {

inline const LbvChar* LbvUnits(const QString& text)
{
    return reinterpret_cast<const LbvChar*>(text.utf16());
}

// Null reads as empty.
inline QString FromLbvChars(const LbvChar* text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text));
}

// A string an object returned, freed through the object's FreeString.
template <typename Interface>
QString TakePluginString(Interface* object, LbvChar* text)
{
    QString result = FromLbvChars(text);
    if (text)
        object->lpVtbl->FreeString(object, text);
    return result;
}

// A copy for the host to free through the object's FreeString (which calls FreeLbvString);
// null when memory runs out.
inline LbvChar* NewLbvString(const QString& text)
{
    auto* copy = static_cast<LbvChar*>(std::malloc(sizeof(LbvChar) * (text.size() + 1)));
    if (copy) {
        std::memcpy(copy, text.utf16(), sizeof(LbvChar) * text.size());
        copy[text.size()] = 0;
    }
    return copy;
}

inline void FreeLbvString(LbvChar* text)
{
    std::free(text);
}

// Writes the values (name, text) below `key`; LBV_SELFREG_E_CLASS when one cannot be written.
inline LbvResult WriteRegistration(const LbvRegistry* registry, const char* key,
    std::initializer_list<std::pair<const char*, QString>> values)
{
    for (const auto& [name, value] : values)
        if (LBV_FAILED(registry->SetString(registry->context, key, name, LbvUnits(value))))
            return LBV_SELFREG_E_CLASS;
    return LBV_S_OK;
}

} // namespace lbv
