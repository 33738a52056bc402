#include "controls/CheckTreeModel.h"

namespace controls {

CheckTreeModel::CheckTreeModel(QObject* parent) : QObject(parent) {}
CheckTreeModel::~CheckTreeModel() = default;

bool CheckTreeModel::addNode(const QString& key, const QString& text, const QString& parentKey) {
    if (key.isEmpty() || m_nodes.contains(key)) return false;
    if (!parentKey.isEmpty() && !m_nodes.contains(parentKey)) return false;
    Node node;
    node.text = text;
    node.parent = parentKey;
    m_nodes.insert(key, node);
    if (parentKey.isEmpty())
        m_roots << key;
    else
        m_nodes[parentKey].children << key;
    return true;
}

void CheckTreeModel::removeNode(const QString& key) {
    auto it = m_nodes.find(key);
    if (it == m_nodes.end()) return;
    const QStringList children = it->children;
    for (const QString& child : children) removeNode(child);
    const QString parent = m_nodes.value(key).parent;
    if (parent.isEmpty())
        m_roots.removeOne(key);
    else if (m_nodes.contains(parent))
        m_nodes[parent].children.removeOne(key);
    m_nodes.remove(key);
}

void CheckTreeModel::clear() {
    m_nodes.clear();
    m_roots.clear();
}

void CheckTreeModel::appendKeys(const QStringList& level, QStringList& out) const {
    for (const QString& key : level) {
        out << key;
        appendKeys(m_nodes.value(key).children, out);
    }
}

QStringList CheckTreeModel::keys() const {
    QStringList out;
    out.reserve(m_nodes.size());
    appendKeys(m_roots, out);
    return out;
}

QString CheckTreeModel::text(const QString& key) const { return m_nodes.value(key).text; }
QString CheckTreeModel::parentKey(const QString& key) const { return m_nodes.value(key).parent; }
QStringList CheckTreeModel::childKeys(const QString& key) const {
    return m_nodes.value(key).children;
}

bool CheckTreeModel::isTicked(const QString& key) const { return m_nodes.value(key).ticked; }

void CheckTreeModel::setTicked(const QString& key, bool ticked) {
    auto it = m_nodes.find(key);
    if (it == m_nodes.end()) return;
    it->ticked = ticked;
    if (!ticked) return;
    for (QString p = it->parent; !p.isEmpty(); p = m_nodes.value(p).parent) {
        auto parent = m_nodes.find(p);
        if (parent == m_nodes.end()) break;
        parent->ticked = true;
    }
}

void CheckTreeModel::setAllTicked(bool ticked) {
    for (Node& node : m_nodes) node.ticked = ticked;
}

}  // namespace controls
