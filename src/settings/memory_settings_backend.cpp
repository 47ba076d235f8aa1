#include "settings/memory_settings_backend.h"

namespace lbv {
namespace {

QStringList Segments(const QString& section)
{
    return section.isEmpty() ? QStringList() : section.split(u'/');
}

} // namespace

MemorySettingsBackend::MemorySettingsBackend(Qt::CaseSensitivity nameCase)
    : nameCase_(nameCase)
{
}

MemorySettingsBackend::~MemorySettingsBackend() = default;

QString MemorySettingsBackend::Key(const QString& name) const
{
    return nameCase_ == Qt::CaseSensitive ? name : name.toCaseFolded();
}

const MemorySettingsBackend::Node* MemorySettingsBackend::Find(const QString& section) const
{
    const Node* node = &root_;
    for (const QString& segment : Segments(section)) {
        const auto child = node->children.find(Key(segment));
        if (child == node->children.end())
            return nullptr;
        node = child->second.node.get();
    }
    return node;
}

MemorySettingsBackend::Node* MemorySettingsBackend::FindMutable(const QString& section)
{
    return const_cast<Node*>(Find(section));
}

MemorySettingsBackend::Node* MemorySettingsBackend::FindOrCreate(const QString& section)
{
    Node* node = &root_;
    for (const QString& segment : Segments(section)) {
        NamedNode& child = node->children[Key(segment)];
        if (!child.node) {
            child.name = segment;
            child.node = std::make_unique<Node>();
        }
        node = child.node.get();
    }
    return node;
}

void MemorySettingsBackend::PruneEmpty(const QString& section)
{
    QStringList path = Segments(section);
    while (!path.isEmpty()) {
        const QString last = path.takeLast();
        Node* parent = FindMutable(path.join(u'/'));
        const auto child = parent->children.find(Key(last));
        if (child == parent->children.end() || !child->second.node->IsEmpty())
            return;
        parent->children.erase(child);
    }
}

QVariant MemorySettingsBackend::Read(const QString& section, const QString& name) const
{
    const Node* node = Find(section);
    if (!node)
        return {};
    const auto value = node->values.find(Key(name));
    return value == node->values.end() ? QVariant() : value->second.value;
}

bool MemorySettingsBackend::Write(
    const QString& section, const QString& name, const QVariant& value)
{
    // The first spelling of a name stays, as it does in the registry.
    const auto [slot, inserted]
        = FindOrCreate(section)->values.try_emplace(Key(name), NamedValue {name, value});
    if (!inserted)
        slot->second.value = value;
    return true;
}

bool MemorySettingsBackend::Remove(const QString& section, const QString& name)
{
    if (Node* node = FindMutable(section)) {
        node->values.erase(Key(name));
        PruneEmpty(section);
    }
    return true;
}

bool MemorySettingsBackend::RemoveTree(const QString& section)
{
    QStringList path = Segments(section);
    const QString last = path.takeLast();
    const QString parentSection = path.join(u'/');
    if (Node* parent = FindMutable(parentSection)) {
        parent->children.erase(Key(last));
        PruneEmpty(parentSection);
    }
    return true;
}

QStringList MemorySettingsBackend::ListValues(const QString& section) const
{
    QStringList names;
    if (const Node* node = Find(section))
        for (const auto& [key, value] : node->values)
            names << value.name;
    return names;
}

QStringList MemorySettingsBackend::ListSections(const QString& section) const
{
    QStringList names;
    if (const Node* node = Find(section))
        for (const auto& [key, child] : node->children)
            names << child.name;
    return names;
}

} // namespace lbv
