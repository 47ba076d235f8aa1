#pragma once
// Serving plug-in objects from a module written in C++: the methods every class of the interface
// shares (IUnknown, FreeString, ErrorMessage), the object's creation for DllGetClassObject and
// the count of live objects for DllCanUnloadNow.
//
// `Object` is a struct whose first member `base` is the interface (so that the interface pointer
// is the object's address), with `std::atomic<uint32_t> references {1}`, the `host` it was made
// for, a QString `lastError`, and `static constexpr const char* kInterfaceId`, the interface it
// answers besides IUnknown.
#include "plugins/plugin_abi_helpers.h"

#include <atomic>
#include <cstring>
#include <new>

namespace lbv {

template<typename Object, typename Interface> struct PluginClass {
    static inline std::atomic<int> liveObjects {0};

    static Object* Self(Interface* self) { return reinterpret_cast<Object*>(self); }

    static LbvResult QueryInterface(Interface* self, const char* iid, void** object)
    {
        if (!object)
            return LBV_E_POINTER;
        *object = nullptr;
        if (!iid
            || (std::strcmp(iid, Object::kInterfaceId) != 0
                && std::strcmp(iid, LBV_IID_IUNKNOWN) != 0))
            return LBV_E_NOINTERFACE;
        ++Self(self)->references;
        *object = self;
        return LBV_S_OK;
    }

    static uint32_t AddRef(Interface* self) { return ++Self(self)->references; }

    static uint32_t Release(Interface* self)
    {
        const uint32_t left = --Self(self)->references;
        if (left == 0) {
            delete Self(self);
            --liveObjects;
        }
        return left;
    }

    static void FreeString(Interface*, LbvChar* text) { FreeLbvString(text); }

    static LbvChar* ErrorMessage(Interface* self)
    {
        const QString& message = Self(self)->lastError;
        return message.isEmpty() ? nullptr : NewLbvString(message);
    }

    // DllGetClassObject's work once the class and the host are accepted: a new object with
    // `methods`, queried for `iid`.
    template<typename Methods>
    static LbvResult Create(
        const Methods* methods, const LbvHostServices* host, const char* iid, void** object)
    {
        auto* created = new (std::nothrow) Object;
        if (!created)
            return LBV_E_OUTOFMEMORY;
        created->base.lpVtbl = methods;
        created->host = host;
        ++liveObjects;
        const LbvResult result = QueryInterface(&created->base, iid, object);
        Release(&created->base); // the query holds the reference now, if it succeeded
        return result;
    }

    static LbvResult CanUnloadNow() { return liveObjects == 0 ? LBV_S_OK : LBV_S_FALSE; }
};

} // namespace lbv
