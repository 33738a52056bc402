#include "common/InitToolbar.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QToolBar>

#include "common/Globals.h"
#include "common/Log.h"
#include "controls/HostToolbar.h"

namespace userdef {

namespace {

// The layout that holds the widget directly, searched through nested layouts.
QLayout* layoutHolding(QLayout* layout, QWidget* widget) {
    if (!layout) return nullptr;
    if (layout->indexOf(widget) >= 0) return layout;
    for (int i = 0; i < layout->count(); ++i)
        if (QLayout* found = layoutHolding(layout->itemAt(i)->layout(), widget)) return found;
    return nullptr;
}

bool placeInLayout(QToolBar* classic, controls::HostToolbar* host) {
    QWidget* parent = classic->parentWidget();
    QLayout* layout = parent ? layoutHolding(parent->layout(), classic) : nullptr;
    if (!layout) return false;
    if (layout->indexOf(host) >= 0) return true;  // placed by an earlier call
    const int index = layout->indexOf(classic);
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        box->insertWidget(index + 1, host);
        return true;
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0, col = 0, rowSpan = 1, colSpan = 1;
        grid->getItemPosition(index, &row, &col, &rowSpan, &colSpan);
        grid->addWidget(host, row, col, rowSpan, colSpan);
        return true;
    }
    return false;
}

}  // namespace

void InitToolbar(QWidget* window, QToolBar* classic, controls::HostToolbar* host,
                 const QString& listKey, QObject* windowObject, const QString& kind) {
    if (!window || !classic || !host) {
        qCWarning(lcCommon) << "InitToolbar without window, classic or host toolbar";
        return;
    }
    host->setPub(g_Pub.get());
    if (!listKey.isEmpty()) {
        const QString id = kind == QLatin1String("Voucher") ? listKey : listKey + QStringLiteral("_List");
        host->InitExternalButton(id, g_Login.get());
    }
    host->SetToolbar(classic);
    if (windowObject) host->SetFormInfo(windowObject, window);
    host->SetDisplayStyle(1);
    classic->hide();
    if (!placeInLayout(classic, host)) {
        if (host->parentWidget() != classic->parentWidget()) host->setParent(classic->parentWidget());
        host->setGeometry(classic->x(), classic->y(), std::max(window->width() - 6, 0),
                          classic->height());
    }
    host->show();
}

void ReRefreshZxTlb(QWidget* window) {
    if (!window) return;
    for (controls::HostToolbar* bar : window->findChildren<controls::HostToolbar*>()) bar->refresh();
}

}  // namespace userdef
