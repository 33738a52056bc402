#include "controls/CheckTreeModel.h"

#include "controls/ControlsLog.h"

namespace controls {

struct CheckTreeModel::Node {
    QString key;
    QString text;
    bool ticked = false;
    Node* parent = nullptr;
    int row = 0;  // position below the parent
    std::vector<std::unique_ptr<Node>> children;
};

CheckTreeModel::CheckTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>()) {}

CheckTreeModel::~CheckTreeModel() = default;

CheckTreeModel::Node* CheckTreeModel::node(const QString& key) const {
    return m_byKey.value(key, nullptr);
}

CheckTreeModel::Node* CheckTreeModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return m_root.get();
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex CheckTreeModel::indexOf(const Node* n) const {
    if (!n || n == m_root.get()) return {};
    return createIndex(n->row, 0, const_cast<Node*>(n));
}

QModelIndex CheckTreeModel::indexOf(const QString& key) const { return indexOf(node(key)); }

QString CheckTreeModel::keyOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return {};
    return nodeOf(index)->key;
}

bool CheckTreeModel::addNode(const QString& key, const QString& text, const QString& parentKey) {
    if (key.isEmpty()) {
        qCWarning(lcControls) << "CheckTree: a node needs a key";
        return false;
    }
    if (m_byKey.contains(key)) {
        qCWarning(lcControls) << "CheckTree: node key already used:" << key;
        return false;
    }
    Node* parent = m_root.get();
    if (!parentKey.isEmpty()) {
        parent = node(parentKey);
        if (!parent) {
            qCWarning(lcControls) << "CheckTree: no parent node" << parentKey << "for" << key;
            return false;
        }
    }
    const int row = int(parent->children.size());
    if (!m_updating) beginInsertRows(indexOf(parent), row, row);
    auto n = std::make_unique<Node>();
    n->key = key;
    n->text = text;
    n->parent = parent;
    n->row = row;
    m_byKey.insert(key, n.get());
    parent->children.push_back(std::move(n));
    if (!m_updating) endInsertRows();
    return true;
}

void CheckTreeModel::forget(Node* n) {
    m_byKey.remove(n->key);
    for (auto& child : n->children) forget(child.get());
}

bool CheckTreeModel::removeNode(const QString& key) {
    Node* n = node(key);
    if (!n) return false;
    Node* parent = n->parent;
    const int row = n->row;
    if (!m_updating) beginRemoveRows(indexOf(parent), row, row);
    forget(n);
    parent->children.erase(parent->children.begin() + row);
    for (size_t i = size_t(row); i < parent->children.size(); ++i)
        parent->children[i]->row = int(i);
    if (!m_updating) endRemoveRows();
    return true;
}

void CheckTreeModel::clear() {
    beginUpdate();
    m_root->children.clear();
    m_byKey.clear();
    endUpdate();
}

void CheckTreeModel::beginUpdate() {
    if (m_updating++ == 0) beginResetModel();
}

void CheckTreeModel::endUpdate() {
    if (m_updating > 0 && --m_updating == 0) endResetModel();
}

void CheckTreeModel::changed(const Node* n) {
    if (m_updating) return;
    const QModelIndex i = indexOf(n);
    emit dataChanged(i, i, {Qt::CheckStateRole});
}

QStringList CheckTreeModel::keys() const {
    QStringList out;
    out.reserve(m_byKey.size());
    // Iterative pre-order walk: deep trees do not grow the call stack.
    std::vector<const Node*> stack;
    for (auto it = m_root->children.rbegin(); it != m_root->children.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        out.append(n->key);
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.push_back(it->get());
    }
    return out;
}

QStringList CheckTreeModel::tickedKeys() const {
    QStringList out;
    for (const QString& key : keys())
        if (node(key)->ticked) out.append(key);
    return out;
}

QString CheckTreeModel::text(const QString& key) const {
    const Node* n = node(key);
    return n ? n->text : QString();
}

bool CheckTreeModel::setText(const QString& key, const QString& text) {
    Node* n = node(key);
    if (!n) return false;
    if (n->text != text) {
        n->text = text;
        if (!m_updating) {
            const QModelIndex i = indexOf(n);
            emit dataChanged(i, i, {Qt::DisplayRole});
        }
    }
    return true;
}

QString CheckTreeModel::parentKey(const QString& key) const {
    const Node* n = node(key);
    return n && n->parent ? n->parent->key : QString();
}

QStringList CheckTreeModel::childKeys(const QString& key) const {
    const Node* n = key.isEmpty() ? m_root.get() : node(key);
    QStringList out;
    if (!n) return out;
    for (const auto& child : n->children) out.append(child->key);
    return out;
}

int CheckTreeModel::depth(const QString& key) const {
    const Node* n = node(key);
    if (!n) return -1;
    int d = 0;
    for (const Node* p = n->parent; p && p != m_root.get(); p = p->parent) ++d;
    return d;
}

bool CheckTreeModel::isTicked(const QString& key) const {
    const Node* n = node(key);
    return n && n->ticked;
}

bool CheckTreeModel::applyTick(Node* n, bool ticked) {
    // Ancestors first, top down: a filtering proxy sees a parent pass before its child changes.
    std::vector<Node*> ancestors;
    if (ticked)
        for (Node* p = n->parent; p && p != m_root.get() && !p->ticked; p = p->parent)
            ancestors.push_back(p);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
        (*it)->ticked = true;
        changed(*it);
    }
    if (n->ticked == ticked) return !ancestors.empty();
    n->ticked = ticked;
    changed(n);
    return true;
}

void CheckTreeModel::setTicked(const QString& key, bool ticked) {
    Node* n = node(key);
    if (!n) {
        qCWarning(lcControls) << "CheckTree: no node" << key << "to tick";
        return;
    }
    applyTick(n, ticked);
}

void CheckTreeModel::setAllTicked(bool ticked) {
    if (m_byKey.isEmpty()) return;
    for (Node* n : std::as_const(m_byKey)) n->ticked = ticked;
    if (m_updating) return;
    // One change notice per level is what views need; a layout-preserving reset would drop
    // their expansion state.
    std::vector<const Node*> parents{m_root.get()};
    while (!parents.empty()) {
        const Node* p = parents.back();
        parents.pop_back();
        if (p->children.empty()) continue;
        emit dataChanged(indexOf(p->children.front().get()), indexOf(p->children.back().get()),
                         {Qt::CheckStateRole});
        for (const auto& child : p->children)
            if (!child->children.empty()) parents.push_back(child.get());
    }
}

void CheckTreeModel::setLocked(bool locked) {
    if (m_locked == locked) return;
    m_locked = locked;
    // Flags changed for every node; views ask again on the next paint.
    if (!m_updating && !m_root->children.empty())
        emit dataChanged(indexOf(m_root->children.front().get()),
                         indexOf(m_root->children.back().get()));
}

QModelIndex CheckTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const Node* p = nodeOf(parent);
    if (row >= int(p->children.size())) return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex CheckTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return indexOf(nodeOf(child)->parent);
}

int CheckTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return int(nodeOf(parent)->children.size());
}

int CheckTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CheckTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Node* n = nodeOf(index);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return n->text;
        case Qt::CheckStateRole:
            return n->ticked ? Qt::Checked : Qt::Unchecked;
        case KeyRole:
            return n->key;
        default:
            return {};
    }
}

bool CheckTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || m_locked) return false;
    Node* n = nodeOf(index);
    const bool ticked = value.toInt() != Qt::Unchecked;
    if (n->ticked == ticked) return true;
    applyTick(n, ticked);
    emit nodeTicked(n->key, ticked);
    return true;
}

Qt::ItemFlags CheckTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_locked) f |= Qt::ItemIsUserCheckable;
    return f;
}

}  // namespace controls
