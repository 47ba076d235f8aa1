#include "gui/common/window_tokens.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace lbv {
namespace {

struct Registry {
    QHash<LbvWindow, QPointer<QWidget>> widgets;
    QHash<const QWidget*, LbvWindow> tokens;
    LbvWindow next = 1;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

} // namespace

LbvWindow WindowToken(QWidget* widget)
{
    if (!widget)
        return 0;
    Registry& registry = TheRegistry();
    const auto known = registry.tokens.constFind(widget);
    if (known != registry.tokens.cend() && registry.widgets.value(*known) == widget)
        return *known;
    const LbvWindow token = registry.next++;
    registry.widgets.insert(token, widget);
    registry.tokens.insert(widget, token);
    // A later widget at the same address must not inherit the token.
    QObject::connect(widget, &QObject::destroyed, widget, [token] {
        Registry& live = TheRegistry();
        live.widgets.remove(token);
        live.tokens.removeIf([token](const auto& entry) { return entry.value() == token; });
    });
    return token;
}

QWidget* WindowOfToken(LbvWindow token)
{
    return TheRegistry().widgets.value(token);
}

} // namespace lbv
