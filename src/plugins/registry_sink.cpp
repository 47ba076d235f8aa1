#include "plugins/registry_sink.h"

#include "plugins/plugin_abi_helpers.h"
#include "settings/memory_settings_backend.h"
#include "text/utf.h"

namespace lbv {
namespace {

QString StoreName(const QString& organisation, const QString& application)
{
    return organisation + u'\\' + application;
}

} // namespace

RegistrySink::RegistrySink(BackendFactory makeBackend)
    : makeBackend_(std::move(makeBackend)), table_ {this, SetString, DeleteKey}
{
}

RegistrySink::RegistrySink()
    : RegistrySink([](const QString&, const QString&) -> std::unique_ptr<SettingsBackend> {
          return std::make_unique<MemorySettingsBackend>();
      })
{
}

RegistrySink::~RegistrySink() = default;

const SettingsBackend* RegistrySink::Backend(
    const QString& organisation, const QString& application) const
{
    const auto found = backends_.find(StoreName(organisation, application));
    return found == backends_.end() ? nullptr : found->second.get();
}

bool RegistrySink::Flush()
{
    bool flushed = true;
    for (auto& [name, backend] : backends_)
        flushed = backend->Flush() && flushed;
    return flushed;
}

RegistrySink::Key RegistrySink::Resolve(const char* key)
{
    if (!key)
        return {};
    QStringList parts = FromUtf8(key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.size() < 3 || parts[0].compare(u"Software", Qt::CaseInsensitive) != 0)
        return {};
    const QString name = StoreName(parts[1], parts[2]);
    auto found = backends_.find(name);
    if (found == backends_.end()) {
        std::unique_ptr<SettingsBackend> backend = makeBackend_(parts[1], parts[2]);
        if (!backend)
            return {};
        found = backends_.emplace(name, std::move(backend)).first;
    }
    return {found->second.get(), parts.mid(3).join(u'/')};
}

LbvResult RegistrySink::SetString(
    void* context, const char* key, const char* name, const LbvChar* value)
{
    const Key target = static_cast<RegistrySink*>(context)->Resolve(key);
    if (!target.backend || !name || !value)
        return LBV_E_INVALIDARG;
    return target.backend->WriteString(target.section, FromUtf8(name), FromLbvChars(value))
        ? LBV_S_OK
        : LBV_E_FAIL;
}

LbvResult RegistrySink::DeleteKey(void* context, const char* key)
{
    const Key target = static_cast<RegistrySink*>(context)->Resolve(key);
    // The organisation's and application's own keys are shared with other modules and stay.
    if (!target.backend || target.section.isEmpty())
        return LBV_E_INVALIDARG;
    return target.backend->RemoveSection(target.section) ? LBV_S_OK : LBV_E_FAIL;
}

} // namespace lbv
