#pragma once
// The nodes of a CheckTree: a keyed tree with one tick per node, in one column.
//
// Keys are unique and compare case-sensitively as given. Nodes are appended below their parent
// in the order they are added; keys() lists every node depth-first, parent before children,
// which is the "node 1 … node count" order callers record ticks in.
//
// Tick rules: ticking a node also ticks all its ancestors; unticking a node changes nothing
// else (its ancestors and descendants keep their ticks). setTicked/setAllTicked are the
// program's changes and emit no nodeTicked. setData with Qt::CheckStateRole is the view's path,
// i.e. the user's: it applies the same rules and emits nodeTicked once, for that node only.
// While locked, the view cannot change ticks (the program still can).
#include <QAbstractItemModel>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace controls {

class CheckTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    static constexpr int KeyRole = Qt::UserRole + 1;  // data(): the node's key

    explicit CheckTreeModel(QObject* parent = nullptr);
    ~CheckTreeModel() override;

    // False, with a warning in the log, when the key is empty or exists already, or the parent
    // key names no node. An empty parent key adds a top-level node.
    bool addNode(const QString& key, const QString& text, const QString& parentKey = {});
    bool removeNode(const QString& key);  // the node and its whole subtree; false when unknown
    void clear();
    // Big changes (filling, pruning) between these are announced as one model reset at the
    // outermost endUpdate instead of one signal per node. Calls nest.
    void beginUpdate();
    void endUpdate();

    int nodeCount() const { return int(m_byKey.size()); }
    bool contains(const QString& key) const { return m_byKey.contains(key); }
    QStringList keys() const;  // every node in tree order (depth-first, pre-order)
    QString text(const QString& key) const;
    bool setText(const QString& key, const QString& text);
    QString parentKey(const QString& key) const;      // empty for a top-level or unknown node
    QStringList childKeys(const QString& key) const;  // empty key: the top-level nodes
    int depth(const QString& key) const;              // 0 for top level; -1 when unknown

    bool isTicked(const QString& key) const;
    void setTicked(const QString& key, bool ticked);  // no nodeTicked
    void setAllTicked(bool ticked);                   // no nodeTicked
    QStringList tickedKeys() const;                   // in tree order

    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);  // the view's tick changes are refused while locked

    QString keyOf(const QModelIndex& index) const;
    QModelIndex indexOf(const QString& key) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user ticked (true) or unticked (false) the node; ancestors ticked with it are not
    // reported separately.
    void nodeTicked(const QString& key, bool ticked);

private:
    struct Node;
    Node* node(const QString& key) const;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* n) const;
    bool applyTick(Node* n, bool ticked);  // sets the tick by the rules; true when any changed
    void changed(const Node* n);           // announces n's tick unless updating
    void forget(Node* n);                  // drops n's subtree from the key index

    std::unique_ptr<Node> m_root;
    QHash<QString, Node*> m_byKey;
    bool m_locked = false;
    int m_updating = 0;
};

}  // namespace controls
