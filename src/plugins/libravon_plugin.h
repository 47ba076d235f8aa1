/*
 * The catalog plug-in interface of Libravon, as a plain C ABI.
 *
 * A plug-in is a shared library that exports the entry points at the end of this file and
 * serves one or more classes, each named by a CLSID in registry string form
 * ("{E43ABDAA-8F77-4078-B6A0-65ACE6936E39}"). The host creates an object per listing and per
 * call, and releases it at once. Objects are used from the host's user-interface thread only.
 *
 * Strings crossing the interface are NUL-terminated UTF-16. A string an object returns is
 * allocated by the plug-in and handed back to the same object's FreeString. The index argument
 * is a libxml2 document holding the whole catalog in the index format (root element "books"),
 * made fresh for each call; a plug-in may change it and says so through indexChanged.
 *
 * A plug-in needs nothing but this header and libxml2.
 */
#ifndef LIBRAVON_PLUGIN_H
#define LIBRAVON_PLUGIN_H

#include <libxml/tree.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Results follow the HRESULT convention: negative values are failures. */
typedef int32_t LbvResult;
#define LBV_S_OK ((LbvResult)0)
#define LBV_S_FALSE ((LbvResult)1)
#define LBV_E_NOTIMPL ((LbvResult)0x80004001)
#define LBV_E_NOINTERFACE ((LbvResult)0x80004002)
#define LBV_E_POINTER ((LbvResult)0x80004003)
#define LBV_E_ABORT ((LbvResult)0x80004004) /* the user cancelled; hosts stop without a message */
#define LBV_E_FAIL ((LbvResult)0x80004005)
#define LBV_E_OUTOFMEMORY ((LbvResult)0x8007000E)
#define LBV_E_INVALIDARG ((LbvResult)0x80070057)
#define LBV_CLASS_E_CLASSNOTAVAILABLE ((LbvResult)0x80040111)
#define LBV_SELFREG_E_CLASS ((LbvResult)0x80040201)
#define LBV_SUCCEEDED(r) ((LbvResult)(r) >= 0)
#define LBV_FAILED(r) ((LbvResult)(r) < 0)

/* Identity of the interface and its type library. */
#define LBV_IID_ILIBRAVONPLUGIN "{7F773CD3-4188-4759-9CF1-FC526450316C}"
#define LBV_IID_IUNKNOWN "{00000000-0000-0000-C000-000000000046}"
#define LBV_LIBID_LIBRAVONLIB "{13EFEF34-C017-4352-B7E6-C6C5D5530B79}"

/* Dispatch identifiers of the members, in slot order. */
#define LBV_DISPID_NAME 0x60020000
#define LBV_DISPID_CATHEGORY 0x60020001
#define LBV_DISPID_DESCRIPTION 0x60020002
#define LBV_DISPID_SUPPORTSSETUP 0x60020003
#define LBV_DISPID_EXECUTE 0x60020004
#define LBV_DISPID_SETUP 0x60020005

typedef uint16_t LbvChar;   /* one UTF-16 code unit */
typedef uint32_t LbvWindow; /* opaque token of a host window, the owner of a plug-in's dialogs */

/* Message box buttons, icons and answers (the values of the classic desktop API). */
#define LBV_MB_OK 0x00000000u
#define LBV_MB_OKCANCEL 0x00000001u
#define LBV_MB_YESNOCANCEL 0x00000003u
#define LBV_MB_YESNO 0x00000004u
#define LBV_MB_ICONSTOP 0x00000010u
#define LBV_MB_ICONQUESTION 0x00000020u
#define LBV_MB_ICONWARNING 0x00000030u
#define LBV_MB_ICONINFORMATION 0x00000040u
#define LBV_IDOK 1
#define LBV_IDCANCEL 2
#define LBV_IDYES 6
#define LBV_IDNO 7

/* What the host offers a plug-in, so that it needs no GUI toolkit of its own. */
typedef struct LbvHostServices {
    uint32_t size; /* sizeof(LbvHostServices) as the host knows it; later members are added last */
    void* context; /* passed back to every call below */
    /* Shows a modal message box owned by `owner`; returns the answer (LBV_IDOK, ...). A NULL or
       empty caption means the host's default caption. */
    int32_t (*MessageBox)(void* context, LbvWindow owner, const LbvChar* text,
        const LbvChar* caption, uint32_t flags);
    void (*BeginWaitCursor)(void* context);
    void (*EndWaitCursor)(void* context);
    /* Asks the user for a folder, starting at `initialFolder` (may be NULL). On LBV_S_OK the
       chosen folder is in `folder` (NUL-terminated, at most `capacity` units with the NUL);
       LBV_S_FALSE: cancelled; LBV_E_INVALIDARG: the buffer is too small. Check `size` first. */
    LbvResult (*ChooseFolder)(void* context, LbvWindow owner, const LbvChar* title,
        const LbvChar* initialFolder, LbvChar* folder, uint32_t capacity);
} LbvHostServices;

typedef struct ILibravonPlugin ILibravonPlugin;

typedef struct ILibravonPluginVtbl {
    /* IUnknown */
    LbvResult (*QueryInterface)(ILibravonPlugin* self, const char* iid, void** object);
    uint32_t (*AddRef)(ILibravonPlugin* self);
    uint32_t (*Release)(ILibravonPlugin* self);
    /* IDispatch: the slots keep their places; hosts never call them and they may be NULL. */
    void (*GetTypeInfoCount)(void);
    void (*GetTypeInfo)(void);
    void (*GetIDsOfNames)(void);
    void (*Invoke)(void);
    /* ILibravonPlugin, in slot order */
    LbvResult (*get_Name)(ILibravonPlugin* self, LbvChar** name);
    LbvResult (*get_Cathegory)(ILibravonPlugin* self, LbvChar** category);
    LbvResult (*get_Description)(ILibravonPlugin* self, LbvChar** description);
    LbvResult (*get_SupportsSetup)(ILibravonPlugin* self, int32_t* isSetupSupported);
    LbvResult (*Execute)(ILibravonPlugin* self, LbvWindow hWnd, xmlDocPtr index,
        int32_t* indexChanged);
    LbvResult (*Setup)(ILibravonPlugin* self, LbvWindow hWnd, xmlDocPtr index);
    /* Frees a string this object returned. */
    void (*FreeString)(ILibravonPlugin* self, LbvChar* text);
    /* The message of this object's last failure, or NULL; free it with FreeString. */
    LbvChar* (*ErrorMessage)(ILibravonPlugin* self);
} ILibravonPluginVtbl;

struct ILibravonPlugin {
    const ILibravonPluginVtbl* lpVtbl;
};

/* Where a module records its registration. Keys are registry-style paths below the machine-wide
   store, e.g. "Software\\Marrowfield\\Libravon\\Plugins\\{CLSID}"; "" names a key's default value. */
typedef struct LbvRegistry {
    void* context;
    LbvResult (*SetString)(void* context, const char* key, const char* name, const LbvChar* value);
    /* Removes a key with everything below it; a missing key is not an error. */
    LbvResult (*DeleteKey)(void* context, const char* key);
} LbvRegistry;

/* Entry points a plug-in module exports (looked up by name with dlsym). Modules built with
   hidden visibility mark them with LBV_PLUGIN_EXPORT. */
#define LBV_PLUGIN_ABI_VERSION 1u
#define LBV_PLUGIN_EXPORT __attribute__((visibility("default")))

/* The version of this header the module was built with. */
typedef uint32_t (*LbvPluginAbiVersionFn)(void);
#define LBV_ENTRY_ABI_VERSION "LbvPluginAbiVersion"

/* NULL-terminated list of the CLSIDs the module serves, so that a host can list modules it
   finds in its plug-in folder without a registration step. */
typedef const char* const* (*LbvPluginClassesFn)(void);
#define LBV_ENTRY_CLASSES "LbvPluginClasses"

/* Creates an object of class `clsid` (hosts pass it in upper case, braces included) and
   returns its interface `iid` (LBV_IID_ILIBRAVONPLUGIN, LBV_IID_IFBEEXPORTPLUGIN or
   LBV_IID_IUNKNOWN) with one reference. `host` outlives the object. Unknown class:
   LBV_CLASS_E_CLASSNOTAVAILABLE; unknown interface: LBV_E_NOINTERFACE. */
typedef LbvResult (*DllGetClassObjectFn)(const char* clsid, const char* iid,
    const LbvHostServices* host, void** object);
#define LBV_ENTRY_GET_CLASS_OBJECT "DllGetClassObject"

/* LBV_S_OK when no object of the module is alive. */
typedef LbvResult (*DllCanUnloadNowFn)(void);
#define LBV_ENTRY_CAN_UNLOAD_NOW "DllCanUnloadNow"

/* Writes or removes the module's registration entries; `modulePath` is the module's own file. */
typedef LbvResult (*DllRegisterServerFn)(const LbvRegistry* registry, const char* modulePath);
typedef LbvResult (*DllUnregisterServerFn)(const LbvRegistry* registry);
#define LBV_ENTRY_REGISTER_SERVER "DllRegisterServer"
#define LBV_ENTRY_UNREGISTER_SERVER "DllUnregisterServer"

#ifdef __cplusplus
}
#endif

#endif /* LIBRAVON_PLUGIN_H */
