#include "controls/HostToolbar.h"

#include <QLoggingCategory>
#include <QMenu>
#include <QToolButton>

#include "host/IPub.h"
#include "resources/icons/Icons.h"

#include "controls/ControlsLog.h"

namespace controls {

namespace {

QString tooltipOf(QString caption, const QString& hotKey) {
    caption.remove(QLatin1Char('&'));
    caption = caption.trimmed();
    return hotKey.isEmpty() ? caption : QStringLiteral("%1 (%2)").arg(caption, hotKey);
}

}  // namespace

HostToolbar::HostToolbar(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(24, 24));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

HostToolbar::~HostToolbar() = default;

QString HostToolbar::text(const QString& key) const {
    return m_pub ? m_pub->GetResString(key) : key.section(QLatin1Char('.'), -1);
}

void HostToolbar::clearButtons() {
    for (const Entry& e : std::as_const(m_entries)) {
        QAction* a = e.action ? e.action : e.separator;
        removeAction(a);
        if (QMenu* menu = a->menu()) menu->deleteLater();
        delete a;
    }
    m_entries.clear();
}

bool HostToolbar::InitExternalButton(const QString& listKey, host::ILogin* login) {
    m_login = login;
    clearButtons();
    const QList<ToolbarButtonDef> defs = toolbarDefinition(listKey);
    m_definitionId = defs.isEmpty() ? QString() : listKey;
    if (defs.isEmpty()) {
        qCWarning(lcControls) << "no toolbar definition" << listKey;
        return false;
    }
    for (const ToolbarButtonDef& def : defs) {
        if (def.separator) {
            m_entries.append({nullptr, addSeparator(), {}});
            continue;
        }
        const QString caption = text(def.captionKey);
        auto* action = new QAction(resources::icons::icon(def.icon), caption, this);
        action->setObjectName(QStringLiteral("Host_") + def.key);
        action->setToolTip(tooltipOf(caption, def.hotKey));
        const QString key = def.key;
        const QString mode = def.mode;
        connect(action, &QAction::triggered, this, [this, key, mode] { emit buttonClicked(key, mode); });
        if (!def.menu.isEmpty()) {
            auto* menu = new QMenu(this);
            for (const ToolbarMenuEntry& entry : def.menu) {
                QAction* item = menu->addAction(text(entry.captionKey));
                const QString entryMode = entry.mode;
                connect(item, &QAction::triggered, this,
                        [this, key, entryMode] { emit buttonClicked(key, entryMode); });
            }
            action->setMenu(menu);
        }
        addAction(action);
        if (auto* b = qobject_cast<QToolButton*>(widgetForAction(action))) {
            b->setObjectName(def.key);
            if (action->menu()) b->setPopupMode(QToolButton::MenuButtonPopup);
        }
        m_entries.append({action, nullptr, def.key});
    }
    return true;
}

bool HostToolbar::Init(QToolBar* classic, host::ILogin* login, const QString& listKey,
                       const QString& subsystem) {
    m_subsystem = subsystem;
    if (!InitExternalButton(listKey, login)) return false;
    if (classic) {
        for (const Entry& e : std::as_const(m_entries)) {
            if (!e.action || classicAction(classic, e.key)) continue;
            auto* a = new QAction(e.action->icon(), e.action->text(), classic);
            a->setObjectName(e.key);
            classic->addAction(a);
        }
    }
    SetToolbar(classic);
    return true;
}

void HostToolbar::SetToolbar(QToolBar* classic) {
    m_classic = classic;
    refresh();
}

void HostToolbar::SetFormInfo(QObject* windowObject, QWidget* window) {
    m_formObject = windowObject;
    m_formWindow = window;
}

void HostToolbar::SetDisplayStyle(int style) {
    m_style = style;
    switch (style) {
        case 0: setToolButtonStyle(Qt::ToolButtonIconOnly); break;
        case 2: setToolButtonStyle(Qt::ToolButtonTextBesideIcon); break;
        default: setToolButtonStyle(Qt::ToolButtonTextUnderIcon); break;
    }
}

QAction* HostToolbar::classicAction(QToolBar* classic, const QString& key) {
    if (!classic) return nullptr;
    for (QAction* a : classic->actions())
        if (a->objectName().compare(key, Qt::CaseInsensitive) == 0) return a;
    return nullptr;
}

void HostToolbar::refresh() {
    if (!m_classic) return;
    QAction* pendingSeparator = nullptr;
    bool seenVisible = false;
    for (const Entry& e : std::as_const(m_entries)) {
        if (e.separator) {
            e.separator->setVisible(false);
            pendingSeparator = e.separator;
            continue;
        }
        const QAction* source = classicAction(m_classic, e.key);
        const bool visible = source && source->isVisible();
        e.action->setVisible(visible);
        e.action->setEnabled(source && source->isEnabled());
        if (!visible) continue;
        if (pendingSeparator && seenVisible) pendingSeparator->setVisible(true);
        pendingSeparator = nullptr;
        seenVisible = true;
    }
}

QAction* HostToolbar::action(const QString& key) const {
    for (const Entry& e : m_entries)
        if (e.action && e.key.compare(key, Qt::CaseInsensitive) == 0) return e.action;
    return nullptr;
}

QToolButton* HostToolbar::button(const QString& key) const {
    QAction* a = action(key);
    return a ? qobject_cast<QToolButton*>(widgetForAction(a)) : nullptr;
}

QStringList HostToolbar::keys() const {
    QStringList out;
    for (const Entry& e : m_entries)
        if (e.action) out << e.key;
    return out;
}

}  // namespace controls
