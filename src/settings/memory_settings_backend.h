#pragma once
// Settings kept in memory: the backend of tests, and the snapshot of the read-only ini file
// consulted in autorun mode (whose names match regardless of letter case, as ini files do).
#include "settings/settings_backend.h"

#include <map>
#include <memory>

namespace lbv {

class MemorySettingsBackend : public SettingsBackend {
public:
    explicit MemorySettingsBackend(Qt::CaseSensitivity nameCase = Qt::CaseSensitive);
    ~MemorySettingsBackend() override;

protected:
    QVariant Read(const QString& section, const QString& name) const override;
    bool Write(const QString& section, const QString& name, const QVariant& value) override;
    bool Remove(const QString& section, const QString& name) override;
    bool RemoveTree(const QString& section) override;
    QStringList ListValues(const QString& section) const override;
    QStringList ListSections(const QString& section) const override;

private:
    struct Node;
    struct NamedValue {
        QString name;
        QVariant value;
    };
    struct NamedNode {
        QString name;
        std::unique_ptr<Node> node;
    };
    struct Node {
        std::map<QString, NamedValue> values;
        std::map<QString, NamedNode> children;
        bool IsEmpty() const { return values.empty() && children.empty(); }
    };

    QString Key(const QString& name) const;
    const Node* Find(const QString& section) const;
    Node* FindMutable(const QString& section);
    Node* FindOrCreate(const QString& section);
    // Drops the sections along the path that were left empty, as the file form keeps none.
    void PruneEmpty(const QString& section);

    Qt::CaseSensitivity nameCase_;
    Node root_;
};

} // namespace lbv
