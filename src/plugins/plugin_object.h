#pragma once
// Holding plug-in objects from C++: one reference per holder, released when it goes.
#include "plugins/plugin_abi_helpers.h"

#include <QString>
#include <utility>

namespace lbv {

// Owns one reference to an object of the interface (ILibravonPlugin, IFBEExportPlugin).
template <typename Interface>
class PluginObject {
public:
    PluginObject() = default;
    ~PluginObject() { Reset(); }
    PluginObject(PluginObject&& other) noexcept : object_(std::exchange(other.object_, nullptr))
    {
    }
    PluginObject& operator=(PluginObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    Interface* Get() const { return object_; }
    const auto* Methods() const { return object_->lpVtbl; }
    explicit operator bool() const { return object_ != nullptr; }
    // Where a creation call stores the new reference.
    void** Out()
    {
        Reset();
        return reinterpret_cast<void**>(&object_);
    }
    void Reset()
    {
        if (Interface* object = std::exchange(object_, nullptr))
            object->lpVtbl->Release(object);
    }

    // The object's message for its last failure; empty when it has none.
    QString ErrorMessage() const
    {
        return object_->lpVtbl->ErrorMessage
            ? TakePluginString(object_, object_->lpVtbl->ErrorMessage(object_))
            : QString();
    }

private:
    Interface* object_ = nullptr;
};

} // namespace lbv
