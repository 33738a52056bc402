#pragma once
// The host's toolbar: the toolbar a window shows in place of its classic toolbar. Its buttons
// come from a toolbar definition (ToolbarDefinition.h) with captions from the public service;
// their enabled and visible states mirror the classic toolbar's actions of the same key
// (objectName) whenever refresh() runs (ReRefreshZxTlb). A click emits buttonClicked(key, mode).
#include <QList>
#include <QPointer>
#include <QToolBar>

#include "controls/ToolbarDefinition.h"

class QToolButton;

namespace host {
class IBusiness;
class ILogin;
class IPub;
}  // namespace host

namespace controls {

class HostToolbar : public QToolBar {
    Q_OBJECT

public:
    explicit HostToolbar(QWidget* parent = nullptr);
    ~HostToolbar() override;

    // Captions come from GetResString of this service; without one the keys are shown.
    void setPub(host::IPub* pub) { m_pub = pub; }

    // Builds the buttons of a toolbar definition, replacing any earlier ones; false (and no
    // buttons) when the id is unknown.
    bool InitExternalButton(const QString& listKey, host::ILogin* login);
    // A window's toolbar set-up in one call: the buttons of listKey, an action in the classic
    // toolbar for every button it lacks (objectName = key, same caption and icon), and the
    // classic toolbar linked for refresh(). The subsystem code is kept for the record.
    bool Init(QToolBar* classic, host::ILogin* login, const QString& listKey,
              const QString& subsystem);
    // Links the classic toolbar whose actions the buttons mirror.
    void SetToolbar(QToolBar* classic);
    // The object that handles the window's commands and the window itself.
    void SetFormInfo(QObject* windowObject, QWidget* window);
    // 0 icons only, 1 text under the icons, 2 text beside the icons.
    void SetDisplayStyle(int style);
    // The portal business object, when the window lives in the portal.
    void SetBusiness(host::IBusiness* business) { m_business = business; }

    // Takes enabled and visible states from the classic toolbar; a button whose key the
    // classic toolbar lacks is hidden. Separators show only between visible groups.
    void refresh();

    QAction* action(const QString& key) const;  // this toolbar's own action of a key
    QToolButton* button(const QString& key) const;
    QStringList keys() const;
    QString definitionId() const { return m_definitionId; }
    QString subsystem() const { return m_subsystem; }
    QToolBar* classicToolbar() const { return m_classic; }
    QObject* formObject() const { return m_formObject; }
    QWidget* formWindow() const { return m_formWindow; }
    host::ILogin* login() const { return m_login; }
    host::IBusiness* business() const { return m_business; }
    int displayStyle() const { return m_style; }

    // The classic toolbar's action of a key (letter case ignored); null when it has none.
    static QAction* classicAction(QToolBar* classic, const QString& key);

signals:
    void buttonClicked(const QString& key, const QString& mode);

private:
    struct Entry {
        QAction* action = nullptr;  // null for a separator
        QAction* separator = nullptr;
        QString key;
    };
    QString text(const QString& key) const;
    void clearButtons();

    host::IPub* m_pub = nullptr;
    host::ILogin* m_login = nullptr;
    host::IBusiness* m_business = nullptr;
    QPointer<QToolBar> m_classic;
    QPointer<QObject> m_formObject;
    QPointer<QWidget> m_formWindow;
    QString m_definitionId;
    QString m_subsystem;
    QList<Entry> m_entries;
    int m_style = 1;
};

}  // namespace controls
