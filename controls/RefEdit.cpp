#include "controls/RefEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "controls/ControlsLog.h"
#include "controls/LookupWindow.h"
#include "host/IClsCommon.h"
#include "host/IWindowHost.h"

namespace controls {

namespace {

// The values of the first of `candidates` that the rows hold, over every row, joined with ",";
// the first field stands in when the rows hold none of them.
QString joinedField(const host::RecordSet& rows, const QStringList& candidates) {
    int field = -1;
    for (const QString& name : candidates)
        if (!name.isEmpty() && (field = rows.fieldIndex(name)) >= 0) break;
    if (field < 0) field = rows.fieldCount() > 0 ? 0 : -1;
    if (field < 0) return {};
    QStringList values;
    for (int r = 0; r < rows.recordCount(); ++r)
        values.append(host::variantText(rows.at(r, field)));
    return values.join(QLatin1Char(','));
}

host::IWindowHost* s_defaultWindowHost = nullptr;

}  // namespace

RefEdit::RefEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)) {
    m_edit->setObjectName(QStringLiteral("edit"));
    m_button->setObjectName(QStringLiteral("lookupButton"));
    m_button->setText(QStringLiteral("…"));
    m_button->setToolTip(LookupWindow::texts().button);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setSizePolicy(m_edit->sizePolicy());

    m_edit->installEventFilter(this);
    connect(m_button, &QToolButton::clicked, this, [this] { lookup(); });
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_value = text;
        emit textEdited(text);
    });
    connect(m_edit, &QLineEdit::textChanged, this, &RefEdit::textChanged);
}

RefEdit::~RefEdit() = default;

void RefEdit::setPlainMode() {
    m_reference = false;
    m_def = RefDefinition();
    m_rows.reset();
    m_srv = nullptr;
    m_lastError.clear();
    updateButton();
}

bool RefEdit::takeDefinition(const QString& refXml) {
    RefDefinition def;
    if (!def.parse(refXml)) {
        m_lastError = def.error();
        qCWarning(lcControls) << "Look-up box" << objectName() << m_lastError;
        return false;
    }
    m_def = def;
    return true;
}

bool RefEdit::setReference(host::RecordSetPtr rows, const QString& refXml) {
    if (!rows) {
        m_lastError = QStringLiteral("The reference has no data source: no record set was given.");
        qCWarning(lcControls) << "Look-up box" << objectName() << m_lastError;
        return false;
    }
    if (!takeDefinition(refXml)) return false;
    m_rows = std::move(rows);
    m_srv = nullptr;
    m_reference = true;
    m_lastError.clear();
    updateButton();
    return true;
}

bool RefEdit::setReference(host::IClsCommon* srv, const QString& refXml) {
    RefDefinition def;
    if (!def.parse(refXml)) {
        m_lastError = def.error();
    } else if (!def.hasStatement()) {
        m_lastError = QStringLiteral(
            "The reference definition has no data source: DataSrc/DataGrid gives no "
            "cUserDataSrcQrySelectPart.");
    } else if (!srv) {
        m_lastError = QStringLiteral("The reference has no server database service to read from.");
    } else {
        m_def = def;
        m_srv = srv;
        m_rows.reset();
        m_reference = true;
        m_lastError.clear();
        updateButton();
        return true;
    }
    qCWarning(lcControls) << "Look-up box" << objectName() << m_lastError;
    return false;
}

QString RefEdit::text() const { return m_edit->text(); }

void RefEdit::setText(const QString& text) {
    m_edit->setText(text);
    m_value = text;
}

void RefEdit::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_edit->setReadOnly(readOnly);
    updateButton();
}

void RefEdit::setMaxLength(int length) { m_edit->setMaxLength(length); }

void RefEdit::setTitle(const QString& title) { m_title = title; }

void RefEdit::updateButton() {
    m_button->setVisible(m_reference);
    m_button->setEnabled(m_reference && !m_readOnly);
}

host::RecordSetPtr RefEdit::loadRows() {
    if (!m_reference) return nullptr;
    if (m_rows) return m_rows;
    if (!m_srv) return nullptr;
    const QString sql = m_def.statement();
    host::RecordSetPtr rows = m_srv->OpenX(sql);
    if (!rows) {
        m_lastError =
            QStringLiteral("The look-up list could not be read: %1").arg(m_srv->lastError());
        qCWarning(lcControls) << "Look-up box" << objectName() << m_lastError << sql;
    }
    return rows;
}

host::RecordSetPtr RefEdit::rowsMatching(const QString& text) {
    const host::RecordSetPtr rows = loadRows();
    if (!rows) return nullptr;
    QVector<int> fields;
    QStringList names{m_def.returnField(), m_def.showField(), m_def.entityKeyField(),
                      m_def.entityNameField()};
    names += m_def.checkFields();
    for (const QString& name : names) {
        const int f = name.isEmpty() ? -1 : rows->fieldIndex(name);
        if (f >= 0 && !fields.contains(f)) fields.append(f);
    }
    const QString wanted = text.trimmed();
    QVector<QVector<QVariant>> found;
    for (int r = 0; r < rows->recordCount(); ++r) {
        for (int f : std::as_const(fields)) {
            if (host::variantText(rows->at(r, f)).compare(wanted, Qt::CaseInsensitive) == 0) {
                QVector<QVariant> values;
                for (int c = 0; c < rows->fieldCount(); ++c) values.append(rows->at(r, c));
                found.append(values);
                break;
            }
        }
    }
    return std::make_shared<host::RecordSet>(rows->fields(), found);
}

host::RecordSetPtr RefEdit::lookup() {
    if (!m_reference || m_readOnly || !isEnabled()) return nullptr;
    if (m_before && !m_before()) return nullptr;
    if (!m_reference) return nullptr;  // the hook may have switched to plain mode
    host::RecordSetPtr rows = loadRows();
    if (!rows) {
        emit lookupFailed(m_lastError);
        return nullptr;
    }
    LookupWindow window(this);
    const QString title = !m_title.isEmpty() ? m_title : m_def.refName();
    if (!title.isEmpty()) window.setWindowTitle(title);
    window.setMultiSelect(m_def.multiSelect());
    window.setRows(rows, m_def.columns(), m_def.checkFields());
    host::RecordSetPtr chosen = runWindow(window);
    if (chosen && chosen->recordCount() > 0) applyChoice(*chosen);
    emit lookupReturned(chosen);
    m_edit->setFocus();
    return chosen;
}

void RefEdit::setDefaultWindowHost(host::IWindowHost* windowHost) {
    s_defaultWindowHost = windowHost;
}

host::RecordSetPtr RefEdit::runWindow(LookupWindow& window) {
    if (m_runner) return m_runner(window);
    if (host::IWindowHost* windowHost = m_windowHost ? m_windowHost : s_defaultWindowHost) {
        windowHost->showModal(&window);
        return window.choice();
    }
    window.exec();
    return window.choice();
}

void RefEdit::applyChoice(const host::RecordSet& rows) {
    const QStringList shown{m_def.showField(), m_def.entityNameField(), m_def.returnField(),
                            m_def.entityKeyField()};
    const QStringList returned{m_def.returnField(), m_def.entityKeyField(), m_def.showField(),
                               m_def.entityNameField()};
    m_edit->setText(joinedField(rows, shown));
    m_value = joinedField(rows, returned);
}

bool RefEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2 && m_reference) {
        lookup();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace controls
