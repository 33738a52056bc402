#include "platform/plugins/sample/SamplePlugIn.h"

#include <QFormLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "host/IGrid.h"

namespace sample {

namespace {

QHash<QString, QString>& notes() {
    static QHash<QString, QString> store;
    return store;
}

}  // namespace

SamplePlugIn::~SamplePlugIn() { UnLoadPlugInControls(); }

QString SamplePlugIn::storedNote(const QString& key) { return notes().value(key); }

QString SamplePlugIn::columnCaption() { return QStringLiteral("备注 / Note"); }

void SamplePlugIn::FillGridCell(int row) {
    host::IGrid* grid = m_window ? m_window->PlugInGrid() : nullptr;
    if (!grid || row < 1 || row >= grid->rows()) return;
    int col = -1;
    for (int c = grid->cols() - 1; c >= 0 && col < 0; --c)
        if (grid->text(0, c) == columnCaption()) col = c;
    if (col < 0) {
        col = grid->cols();
        grid->setCols(col + 1);
        grid->setText(0, col, columnCaption());
        grid->setColWidth(col, 2500);
    }
    // The value is the grid's column 1.
    grid->setText(row, col, notes().value(m_itemId + QLatin1Char('|') + grid->text(row, 1)));
}

void SamplePlugIn::init(const QString& kind, const QString& itemId, host::IPlugInHost* window) {
    m_kind = kind;
    m_itemId = itemId;
    m_window = window;
    showNote();
}

void SamplePlugIn::LoadPlugInControls(QTabWidget* tabs) {
    if (!tabs || m_page) return;
    m_tabs = tabs;
    m_page = new QWidget;
    m_page->setObjectName(QStringLiteral("PlugInSamplePage"));
    auto* form = new QFormLayout(m_page);
    auto* label = new QLabel(QStringLiteral("备注 / Note"), m_page);
    label->setObjectName(QStringLiteral("LblPlugInNote"));
    m_field = new QLineEdit(m_page);
    m_field->setObjectName(QStringLiteral("EdtPlugInNote"));
    m_field->setReadOnly(m_state == 0);
    label->setBuddy(m_field);
    form->addRow(label, m_field);
    QObject::connect(m_field, &QLineEdit::textChanged, m_field, [this](const QString&) {
        if (!m_filling && m_window) m_window->PlugInNotice(QStringLiteral("Button_SAVE"));
    });
    tabs->addTab(m_page, QStringLiteral("扩展 / Extra"));
    showNote();
}

void SamplePlugIn::UnLoadPlugInControls() {
    if (m_tabs && m_page) m_tabs->removeTab(m_tabs->indexOf(m_page));
    delete m_page.data();
    m_tabs.clear();
}

QString SamplePlugIn::noteKey() const {
    const QString value = m_window ? m_window->Talk(QStringLiteral("cValue")) : QString();
    return value.isEmpty() ? m_itemId : m_itemId + QLatin1Char('|') + value;
}

void SamplePlugIn::showNote() {
    if (!m_field) return;
    m_filling = true;
    m_field->setText(notes().value(noteKey()));
    m_filling = false;
}

void SamplePlugIn::StartAdd() {
    m_state = 1;
    m_editKey.clear();
    if (!m_field) return;
    m_filling = true;
    m_field->clear();
    m_filling = false;
    m_field->setReadOnly(false);
}

void SamplePlugIn::StartModify() {
    m_state = 3;
    m_editKey = noteKey();
    if (m_field) m_field->setReadOnly(false);
}

void SamplePlugIn::finish() {
    if (m_state == 0) return;
    // A modified value may have been renamed: the note moves to the value's new key.
    const QString key = noteKey();
    if (m_state == 3 && !m_editKey.isEmpty() && m_editKey != key) notes().remove(m_editKey);
    if (m_field) notes().insert(key, m_field->text());
    m_state = 0;
    m_editKey.clear();
    if (m_field) m_field->setReadOnly(true);
}

}  // namespace sample
