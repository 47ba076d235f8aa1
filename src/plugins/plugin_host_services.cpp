#include "plugins/plugin_host_services.h"

#include "plugins/plugin_abi_helpers.h"

namespace lbv {
namespace {

PluginHostServices& ServicesOf(void* context)
{
    return *static_cast<PluginHostServices*>(context);
}

int32_t ShowMessageBox(
    void* context, LbvWindow owner, const LbvChar* text, const LbvChar* caption, uint32_t flags)
{
    return ServicesOf(context).MessageBox(owner, FromLbvChars(text), FromLbvChars(caption), flags);
}

void BeginWait(void* context)
{
    ServicesOf(context).BeginWaitCursor();
}

void EndWait(void* context)
{
    ServicesOf(context).EndWaitCursor();
}

LbvResult ChooseFolder(void* context, LbvWindow owner, const LbvChar* title,
    const LbvChar* initialFolder, LbvChar* folder, uint32_t capacity)
{
    if (!folder)
        return LBV_E_POINTER;
    const std::optional<QString> chosen
        = ServicesOf(context).ChooseFolder(owner, FromLbvChars(title), FromLbvChars(initialFolder));
    if (!chosen)
        return LBV_S_FALSE;
    if (quint64(chosen->size()) >= capacity)
        return LBV_E_INVALIDARG;
    std::copy(chosen->utf16(), chosen->utf16() + chosen->size(), folder);
    folder[chosen->size()] = 0;
    return LBV_S_OK;
}

} // namespace

HostServicesTable::HostServicesTable(PluginHostServices& services)
    : services_(services),
      table_ {sizeof(LbvHostServices), &services, ShowMessageBox, BeginWait, EndWait,
          ChooseFolder}
{
}

} // namespace lbv
