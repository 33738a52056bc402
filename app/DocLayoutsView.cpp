#include "app/DocLayoutsView.h"

#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/DeskTexts.h"
#include "host/Quote.h"
#include "platform/server/ClsCommon.h"

namespace app {

DocLayoutsView::DocLayoutsView(const QString& connectionText, const QString& language,
                               QWidget* parent)
    : QWidget(parent),
      m_language(language),
      m_srv(std::make_unique<platform::server::ClsCommon>()),
      m_model(new QStandardItemModel(this)),
      m_error(new QLabel(this)),
      m_view(new QTableView(this)) {
    setObjectName(QStringLiteral("DocLayoutsView"));
    setWindowTitle(deskText(language, QStringLiteral("Desk.Portal.DocLayouts")));
    m_srv->init(connectionText);
    m_view->setObjectName(QStringLiteral("GrdLayouts"));
    m_view->setModel(m_model);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_error->setObjectName(QStringLiteral("LblError"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #b00020; padding: 4px;"));
    m_error->hide();
    layout->addWidget(m_error);
    layout->addWidget(m_view);
    reload();
}

DocLayoutsView::~DocLayoutsView() = default;

QString DocLayoutsView::errorText() const {
    return m_error->isHidden() ? QString() : m_error->text();
}

bool DocLayoutsView::reload() {
    QStringList headers;
    for (const char* key : {"Layout", "Part", "Field", "Caption", "Item"})
        headers << deskText(m_language, QStringLiteral("Desk.Layouts.") + QLatin1String(key));
    // The item's name in the session's language where it has one, else its stored name.
    const host::RecordSetPtr rs = m_srv->OpenX(
        QStringLiteral(
            "select l.cLayoutName, f.cPart, f.cFieldName, f.cCaption, "
            "case when isnull(n.cItemName,'')<>'' then n.cItemName "
            "when isnull(u.cItemName,'')='' then u.citemlang else u.cItemName end as cItem "
            "from DocLayout l join DocLayoutField f on f.cLayoutId=l.cLayoutId "
            "left join UserDef u on u.cId=f.cItemId "
            "left join userdef_lang n on n.cid=u.cId and n.LocaleID='") +
        host::sqlValue(m_language) +
        QStringLiteral("' order by l.cLayoutId, case when f.cPart='H' then 0 else 1 end, "
                       "f.iOrder"));
    if (!rs) {
        m_error->setText(deskText(m_language, QStringLiteral("Desk.Layouts.Unreadable"),
                                  {m_srv->lastError()}));
        m_error->show();
        return false;
    }
    m_error->hide();
    m_model->clear();
    m_model->setHorizontalHeaderLabels(headers);
    const QString head = deskText(m_language, QStringLiteral("Desk.Layouts.Header"));
    const QString body = deskText(m_language, QStringLiteral("Desk.Layouts.Body"));
    for (int r = 0; r < rs->recordCount(); ++r) {
        QList<QStandardItem*> row;
        for (int c = 0; c < rs->fieldCount(); ++c) {
            QString text = rs->at(r, c).toString();
            if (c == 1)
                text = text.compare(QLatin1String("H"), Qt::CaseInsensitive) == 0 ? head : body;
            row << new QStandardItem(text);
        }
        m_model->appendRow(row);
    }
    m_view->resizeColumnsToContents();
    return true;
}

void DocLayoutsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    reload();
}

}  // namespace app
