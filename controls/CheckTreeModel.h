#pragma once
// A keyed tree of check-box nodes (the data behind CheckTree). Keys are unique; keys() lists
// the nodes in tree order (pre-order), the order the windows call "node 1 .. node count".
// Ticking a node in code marks its ancestors ticked and emits nothing; nodeTicked is emitted
// only for the user's clicks.
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

namespace controls {

class CheckTreeModel : public QObject {
    Q_OBJECT
public:
    explicit CheckTreeModel(QObject* parent = nullptr);
    ~CheckTreeModel() override;

    // False when the key is empty or taken, or the parent (when given) does not exist.
    bool addNode(const QString& key, const QString& text, const QString& parentKey = {});
    // Removes the node and everything below it.
    void removeNode(const QString& key);
    void clear();

    int nodeCount() const { return int(m_nodes.size()); }
    bool contains(const QString& key) const { return m_nodes.contains(key); }
    QStringList keys() const;
    QString text(const QString& key) const;
    QString parentKey(const QString& key) const;
    QStringList childKeys(const QString& key) const;

    bool isTicked(const QString& key) const;
    void setTicked(const QString& key, bool ticked);
    void setAllTicked(bool ticked);

signals:
    void nodeTicked(const QString& key, bool ticked);

private:
    struct Node {
        QString text, parent;
        QStringList children;
        bool ticked = false;
    };
    void appendKeys(const QStringList& level, QStringList& out) const;
    QHash<QString, Node> m_nodes;
    QStringList m_roots;
};

}  // namespace controls
