/*
 * A plug-in module written in plain C against libravon_plugin.h and libxml2 alone, serving
 * catalog plug-ins that behave in the ways the host must cope with, and one exporter. What the
 * objects see is appended to a log the tests read through TestModuleLog.
 */
#define _POSIX_C_SOURCE 200809L

#include "plugins/export_plugin.h"
#include "plugins/libravon_plugin.h"

#include <libxml/tree.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

enum Behaviour { RENAMER, TOUCHER, BREAKER, FAILER, MUTE, UPROOTER, EXPORTER, CLASS_COUNT };

static const char* const kClasses[CLASS_COUNT + 1] = {
    "{11111111-0000-0000-0000-000000000001}",
    "{11111111-0000-0000-0000-000000000002}",
    "{11111111-0000-0000-0000-000000000003}",
    "{11111111-0000-0000-0000-000000000004}",
    "{11111111-0000-0000-0000-000000000005}",
    "{11111111-0000-0000-0000-000000000006}",
    "{11111111-0000-0000-0000-0000000000E1}",
    NULL,
};
static const char* const kNames[CLASS_COUNT] = {
    "Renamer", "Toucher", "Breaker", "Failer", "Mute", "Uprooter", "Test export"};
static const char* const kCategories[CLASS_COUNT] = {
    "Test tools", "Test tools", "Faults", "Faults", "Faults", "Faults", ""};

static char logText[65536];
static int liveObjects;

static void AppendLog(const char* format, const char* a, const char* b)
{
    size_t used = strlen(logText);
    snprintf(logText + used, sizeof logText - used, format, a, b);
}

LBV_PLUGIN_EXPORT const char* TestModuleLog(void)
{
    return logText;
}

LBV_PLUGIN_EXPORT void TestModuleClearLog(void)
{
    logText[0] = 0;
}

static LbvChar* NewString(const char* ascii)
{
    size_t length = strlen(ascii), i;
    LbvChar* text = malloc(sizeof(LbvChar) * (length + 1));
    if (!text)
        return NULL;
    for (i = 0; i <= length; ++i)
        text[i] = (LbvChar)(unsigned char)ascii[i];
    return text;
}

static void ToAscii(const LbvChar* text, char* buffer, size_t capacity)
{
    size_t i = 0;
    for (; text && text[i] && i + 1 < capacity; ++i)
        buffer[i] = text[i] < 128 ? (char)text[i] : '?';
    buffer[i] = 0;
}

/* One object layout serves both interfaces: the vtable pointer comes first in each. */
typedef struct TestObject {
    const void* lpVtbl;
    unsigned references;
    enum Behaviour behaviour;
    const char* error;
} TestObject;

static TestObject* Self(void* object)
{
    return (TestObject*)object;
}

static LbvResult QueryInterface(void* self, const char* iid, void** object)
{
    const char* own = Self(self)->behaviour == EXPORTER ? LBV_IID_IFBEEXPORTPLUGIN
                                                         : LBV_IID_ILIBRAVONPLUGIN;
    *object = NULL;
    if (strcmp(iid, own) != 0 && strcmp(iid, LBV_IID_IUNKNOWN) != 0)
        return LBV_E_NOINTERFACE;
    ++Self(self)->references;
    *object = self;
    return LBV_S_OK;
}

static uint32_t AddRef(void* self)
{
    return ++Self(self)->references;
}

static uint32_t Release(void* self)
{
    unsigned left = --Self(self)->references;
    if (left == 0) {
        free(self);
        --liveObjects;
    }
    return left;
}

static void FreeString(void* self, LbvChar* text)
{
    (void)self;
    free(text);
}

static LbvChar* ErrorMessage(void* self)
{
    return Self(self)->error ? NewString(Self(self)->error) : NULL;
}

static LbvResult GetName(ILibravonPlugin* self, LbvChar** name)
{
    *name = NewString(kNames[Self(self)->behaviour]);
    return LBV_S_OK;
}

static LbvResult GetCathegory(ILibravonPlugin* self, LbvChar** category)
{
    if (Self(self)->behaviour == MUTE) {
        *category = NULL;
        Self(self)->error = "The category is a secret.";
        return LBV_E_NOTIMPL;
    }
    *category = NewString(kCategories[Self(self)->behaviour]);
    return LBV_S_OK;
}

static LbvResult GetDescription(ILibravonPlugin* self, LbvChar** description)
{
    char text[64];
    snprintf(text, sizeof text, "%s does its test.", kNames[Self(self)->behaviour]);
    *description = NewString(text);
    return LBV_S_OK;
}

static LbvResult GetSupportsSetup(ILibravonPlugin* self, int32_t* isSetupSupported)
{
    *isSetupSupported = Self(self)->behaviour == TOUCHER || Self(self)->behaviour == FAILER;
    return LBV_S_OK;
}

static xmlNodePtr FirstElement(xmlNodePtr parent, const char* name)
{
    xmlNodePtr child;
    for (child = parent ? parent->children : NULL; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && strcmp((const char*)child->name, name) == 0)
            return child;
    return NULL;
}

static xmlNodePtr FirstBookTitle(xmlDocPtr index)
{
    xmlNodePtr author = FirstElement(xmlDocGetRootElement(index), "author");
    xmlNodePtr book = FirstElement(FirstElement(author, "group"), "book");
    return FirstElement(book, "book-title");
}

static void LogCall(ILibravonPlugin* self, const char* call)
{
    char folder[4096];
    char line[64];
    if (!getcwd(folder, sizeof folder))
        strcpy(folder, "?");
    snprintf(line, sizeof line, "%s %s", call, kNames[Self(self)->behaviour]);
    AppendLog("%s cwd=%s\n", line, folder);
}

static LbvResult Execute(ILibravonPlugin* self, LbvWindow hWnd, xmlDocPtr index,
    int32_t* indexChanged)
{
    xmlNodePtr title = FirstBookTitle(index);
    (void)hWnd;
    LogCall(self, "execute");
    *indexChanged = 0;
    switch (Self(self)->behaviour) {
    case RENAMER:
        if (!title)
            return LBV_E_FAIL;
        xmlNodeSetContent(title, BAD_CAST "Changed by plug-in");
        break;
    case BREAKER:
        if (title) {
            xmlUnlinkNode(title);
            xmlFreeNode(title);
        }
        break;
    case UPROOTER:
        xmlFreeNode(xmlDocSetRootElement(index, xmlNewDocNode(index, NULL, BAD_CAST "other", NULL)));
        break;
    case FAILER:
        Self(self)->error = "The test plug-in failed on purpose.";
        *indexChanged = 1; /* a failure must not reload, whatever the flag says */
        return LBV_E_FAIL;
    default:
        break;
    }
    *indexChanged = 1;
    return LBV_S_OK;
}

static LbvResult Setup(ILibravonPlugin* self, LbvWindow hWnd, xmlDocPtr index)
{
    (void)hWnd;
    (void)index;
    LogCall(self, "setup");
    if (Self(self)->behaviour == FAILER) {
        Self(self)->error = "The test plug-in failed on purpose.";
        return LBV_E_FAIL;
    }
    return LBV_S_OK;
}

static LbvResult Export(IFBEExportPlugin* self, int32_t hWnd, const LbvChar* path,
    xmlDocPtr document)
{
    char file[4096];
    xmlNodePtr root = xmlDocGetRootElement(document);
    (void)hWnd;
    ToAscii(path, file, sizeof file);
    AppendLog("export %s root=%s\n", file, root ? (const char*)root->name : "-");
    if (strstr(file, "fail-me")) {
        Self(self)->error = "The test exporter failed on purpose.";
        return LBV_E_FAIL;
    }
    return LBV_S_OK;
}

/* Typed entries for each interface over the shared implementation. */
static LbvResult PluginQueryInterface(ILibravonPlugin* self, const char* iid, void** object)
{
    return QueryInterface(self, iid, object);
}
static uint32_t PluginAddRef(ILibravonPlugin* self)
{
    return AddRef(self);
}
static uint32_t PluginRelease(ILibravonPlugin* self)
{
    return Release(self);
}
static void PluginFreeString(ILibravonPlugin* self, LbvChar* text)
{
    FreeString(self, text);
}
static LbvChar* PluginErrorMessage(ILibravonPlugin* self)
{
    return ErrorMessage(self);
}
static LbvResult ExporterQueryInterface(IFBEExportPlugin* self, const char* iid, void** object)
{
    return QueryInterface(self, iid, object);
}
static uint32_t ExporterAddRef(IFBEExportPlugin* self)
{
    return AddRef(self);
}
static uint32_t ExporterRelease(IFBEExportPlugin* self)
{
    return Release(self);
}
static void ExporterFreeString(IFBEExportPlugin* self, LbvChar* text)
{
    FreeString(self, text);
}
static LbvChar* ExporterErrorMessage(IFBEExportPlugin* self)
{
    return ErrorMessage(self);
}

static const ILibravonPluginVtbl kPluginMethods = {PluginQueryInterface, PluginAddRef,
    PluginRelease, NULL, NULL, NULL, NULL, GetName, GetCathegory, GetDescription,
    GetSupportsSetup, Execute, Setup, PluginFreeString, PluginErrorMessage};

static const IFBEExportPluginVtbl kExporterMethods = {ExporterQueryInterface, ExporterAddRef,
    ExporterRelease, Export, ExporterFreeString, ExporterErrorMessage};

LBV_PLUGIN_EXPORT uint32_t LbvPluginAbiVersion(void)
{
    return LBV_PLUGIN_ABI_VERSION;
}

LBV_PLUGIN_EXPORT const char* const* LbvPluginClasses(void)
{
    return kClasses;
}

LBV_PLUGIN_EXPORT LbvResult DllGetClassObject(const char* clsid, const char* iid,
    const LbvHostServices* host, void** object)
{
    int i;
    (void)host;
    *object = NULL;
    for (i = 0; i < CLASS_COUNT; ++i) {
        if (strcasecmp(clsid, kClasses[i]) == 0) {
            TestObject* created = calloc(1, sizeof *created);
            LbvResult result;
            if (!created)
                return LBV_E_OUTOFMEMORY;
            created->lpVtbl = i == EXPORTER ? (const void*)&kExporterMethods
                                            : (const void*)&kPluginMethods;
            created->references = 1;
            created->behaviour = (enum Behaviour)i;
            ++liveObjects;
            result = QueryInterface(created, iid, object);
            Release(created);
            return result;
        }
    }
    return LBV_CLASS_E_CLASSNOTAVAILABLE;
}

LBV_PLUGIN_EXPORT LbvResult DllCanUnloadNow(void)
{
    return liveObjects == 0 ? LBV_S_OK : LBV_S_FALSE;
}

static LbvResult SetValue(const LbvRegistry* registry, const char* key, const char* name,
    const char* value)
{
    LbvChar* text = NewString(value);
    LbvResult result = text ? registry->SetString(registry->context, key, name, text)
                            : LBV_E_OUTOFMEMORY;
    free(text);
    return result;
}

LBV_PLUGIN_EXPORT LbvResult DllRegisterServer(const LbvRegistry* registry, const char* modulePath)
{
    char key[256];
    int i;
    for (i = 0; i < CLASS_COUNT; ++i) {
        if (i == EXPORTER) {
            snprintf(key, sizeof key, "Software\\Quillon\\FBE\\Plugins\\%s", kClasses[i]);
            if (LBV_FAILED(SetValue(registry, key, "Type", "export"))
                || LBV_FAILED(SetValue(registry, key, "Menu", kNames[i])))
                return LBV_SELFREG_E_CLASS;
        } else {
            snprintf(key, sizeof key, "Software\\Marrowfield\\Libravon\\Plugins\\%s",
                kClasses[i]);
            if (LBV_FAILED(SetValue(registry, key, "Type", "Index"))
                || LBV_FAILED(SetValue(registry, key, "Name", kNames[i])))
                return LBV_SELFREG_E_CLASS;
        }
        if (LBV_FAILED(SetValue(registry, key, "Module", modulePath)))
            return LBV_SELFREG_E_CLASS;
    }
    return LBV_S_OK;
}

LBV_PLUGIN_EXPORT LbvResult DllUnregisterServer(const LbvRegistry* registry)
{
    char key[256];
    int i;
    for (i = 0; i < CLASS_COUNT; ++i) {
        snprintf(key, sizeof key,
            i == EXPORTER ? "Software\\Quillon\\FBE\\Plugins\\%s"
                          : "Software\\Marrowfield\\Libravon\\Plugins\\%s",
            kClasses[i]);
        registry->DeleteKey(registry->context, key);
    }
    return LBV_S_OK;
}
