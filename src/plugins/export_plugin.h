/*
 * The interface of the FB2 editor's export plug-ins, which the book list offers as export
 * commands, as a plain C ABI. Only the creation and the one Export call are fixed; what an
 * exporter writes, and where, is its own business.
 *
 * Modules export LbvPluginAbiVersion, LbvPluginClasses and DllGetClassObject as described in
 * libravon_plugin.h, serving this interface under LBV_IID_IFBEEXPORTPLUGIN.
 */
#ifndef LIBRAVON_EXPORT_PLUGIN_H
#define LIBRAVON_EXPORT_PLUGIN_H

#include "plugins/libravon_plugin.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LBV_IID_IFBEEXPORTPLUGIN "{1AFAAB7F-6F66-4EF6-B199-16FA49CC5B52}"

typedef struct IFBEExportPlugin IFBEExportPlugin;

typedef struct IFBEExportPluginVtbl {
    /* IUnknown */
    LbvResult (*QueryInterface)(IFBEExportPlugin* self, const char* iid, void** object);
    uint32_t (*AddRef)(IFBEExportPlugin* self);
    uint32_t (*Release)(IFBEExportPlugin* self);
    /* Exports one book: the owner window, the path of the FB2 file the document was loaded
       from, and the book's document (prefix "fb" bound to the FictionBook 2.0 namespace).
       The host calls it once per book with the same object; a failure ends the whole export,
       and LBV_E_ABORT (the user cancelled) ends it without a message. */
    LbvResult (*Export)(IFBEExportPlugin* self, int32_t hWnd, const LbvChar* path,
        xmlDocPtr document);
    /* Frees a string this object returned. */
    void (*FreeString)(IFBEExportPlugin* self, LbvChar* text);
    /* The message of this object's last failure, or NULL; free it with FreeString. */
    LbvChar* (*ErrorMessage)(IFBEExportPlugin* self);
} IFBEExportPluginVtbl;

struct IFBEExportPlugin {
    const IFBEExportPluginVtbl* lpVtbl;
};

#ifdef __cplusplus
}
#endif

#endif /* LIBRAVON_EXPORT_PLUGIN_H */
