#pragma once
// A tree with a tick box on every node: a QTreeView over one CheckTreeModel (see there for the
// tick rules). The view can show only ticked nodes (and the nodes leading to them), and can be
// locked so that the user cannot change ticks. Space toggles the current node; clicking the box
// toggles it too. Only the user's changes are reported through nodeTicked.
#include <QTreeView>

#include "controls/CheckTreeModel.h"

class QSortFilterProxyModel;

namespace controls {

class CheckTree : public QTreeView {
    Q_OBJECT

public:
    explicit CheckTree(QWidget* parent = nullptr);
    ~CheckTree() override;

    CheckTreeModel* model() const { return m_model; }

    bool showOnlyTicked() const { return m_onlyTicked; }
    void setShowOnlyTicked(bool on);
    bool isLocked() const { return m_model->isLocked(); }
    void setLocked(bool locked);

    // Expands the node's ancestors and scrolls it into view; false when it is unknown or
    // filtered out.
    bool ensureVisible(const QString& key);
    bool isShown(const QString& key) const;  // the node is a row of the view (filter passed)

    QString currentKey() const;  // empty when no node is current
    bool setCurrentKey(const QString& key);

signals:
    void nodeTicked(const QString& key, bool ticked);
    void currentKeyChanged(const QString& key);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QModelIndex viewIndex(const QString& key) const;

    CheckTreeModel* m_model;
    QSortFilterProxyModel* m_proxy;
    bool m_onlyTicked = false;
};

}  // namespace controls
