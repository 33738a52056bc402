#include "controls/CheckTree.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>

namespace controls {

namespace {

// Passes every node, or only ticked ones; recursive filtering keeps the nodes leading to them.
class TickFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setOnlyTicked(bool on) {
        if (m_onlyTicked == on) return;
        m_onlyTicked = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!m_onlyTicked) return true;
        const QModelIndex i = sourceModel()->index(row, 0, parent);
        return i.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }

private:
    bool m_onlyTicked = false;
};

}  // namespace

CheckTree::CheckTree(QWidget* parent)
    : QTreeView(parent), m_model(new CheckTreeModel(this)), m_proxy(new TickFilter(this)) {
    m_proxy->setSourceModel(m_model);
    m_proxy->setRecursiveFilteringEnabled(true);
    m_proxy->setFilterRole(Qt::CheckStateRole);  // a tick change refilters
    m_proxy->setDynamicSortFilter(true);
    setModel(m_proxy);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(true);

    connect(m_model, &CheckTreeModel::nodeTicked, this, &CheckTree::nodeTicked);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                emit currentKeyChanged(m_model->keyOf(m_proxy->mapToSource(current)));
            });
}

CheckTree::~CheckTree() = default;

void CheckTree::setShowOnlyTicked(bool on) {
    m_onlyTicked = on;
    static_cast<TickFilter*>(m_proxy)->setOnlyTicked(on);
}

void CheckTree::setLocked(bool locked) {
    m_model->setLocked(locked);
    viewport()->update();
}

QModelIndex CheckTree::viewIndex(const QString& key) const {
    return m_proxy->mapFromSource(m_model->indexOf(key));
}

bool CheckTree::isShown(const QString& key) const { return viewIndex(key).isValid(); }

bool CheckTree::ensureVisible(const QString& key) {
    const QModelIndex i = viewIndex(key);
    if (!i.isValid()) return false;
    for (QModelIndex p = i.parent(); p.isValid(); p = p.parent()) expand(p);
    scrollTo(i);
    return true;
}

QString CheckTree::currentKey() const {
    return m_model->keyOf(m_proxy->mapToSource(currentIndex()));
}

bool CheckTree::setCurrentKey(const QString& key) {
    const QModelIndex i = viewIndex(key);
    if (!i.isValid()) return false;
    ensureVisible(key);
    setCurrentIndex(i);
    return true;
}

void CheckTree::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        const QModelIndex i = currentIndex();
        if (i.isValid() && !m_model->isLocked()) {
            const bool ticked = i.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            m_proxy->setData(i, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        }
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

}  // namespace controls
