#include "itemdef/RelatedArchive.h"

#include <QComboBox>
#include <QLoggingCategory>

#include "common/Globals.h"
#include "controls/RefEdit.h"
#include "itemdef/EditorState.h"
#include "itemdef/ItemdefLog.h"

namespace itemdef {

RelatedArchive::RelatedArchive(controls::RefEdit* box, QComboBox* fields, EditorState& state)
    : m_box(box), m_fieldChoice(fields), m_state(state) {}

void RelatedArchive::loadList() {
    QString error;
    m_archives = LoadArchiveList(&error);
    if (!error.isEmpty()) qCWarning(lcItemdef) << "archive list:" << error;
}

void RelatedArchive::initLookup() {
    m_box->setTitle(
        ArchiveRefName(userdef::g_Login ? userdef::g_Login->LanguageRegion() : QString()));
    if (!m_box->setReference(ArchiveLookupRecords(m_archives), kArchiveRefDescription))
        qCWarning(lcItemdef) << "archive look-up:" << m_box->lastError();
}

void RelatedArchive::listFields(const ArchiveEntry& entry, int itemType) {
    QString error;
    m_fields = LoadArchiveFields(entry, itemType, &error);
    if (!error.isEmpty()) qCWarning(lcItemdef) << "archive fields:" << error;
    m_fieldChoice->clear();
    for (const FieldEntry& e : m_fields.entries()) m_fieldChoice->addItem(e.sRemark);
}

void RelatedArchive::show(const QString& relArchive, const QString& refId, const QString& relField,
                          int itemType) {
    m_state.relArchive = relArchive;
    m_state.refId = refId;
    m_state.relField = relField;
    m_state.relArchiveName.clear();
    m_state.relFieldName.clear();
    m_fields.clear();
    if (relArchive.isEmpty()) {
        m_box->setEnabled(false);
        return;
    }
    initLookup();
    m_box->setText(relArchive);
    const ArchiveEntry* entry = m_archives.find(ArchiveList::keyOf(relArchive));
    if (relField.isEmpty() || !entry) return;
    listFields(*entry, itemType);
    if (const FieldEntry* field = m_fields.find(FieldList::keyOf(relField)))
        m_state.relFieldName = field->sRemark;
    m_fieldChoice->setCurrentIndex(m_fieldChoice->findText(m_state.relFieldName));
    m_state.relArchiveName = entry->sRemark;
    m_box->setText(entry->sRemark);
    m_box->setValue(relArchive);
}

bool RelatedArchive::archiveReturned(const host::RecordSetPtr& rows, int itemType,
                                     QString* messageKey) {
    if (!rows) return false;
    if (rows->isEmpty()) {
        *messageKey = QStringLiteral("Q9.AA.ARCHIVE.FIELD.nothefield");
        m_fieldChoice->setEnabled(false);
        return false;
    }
    rows->moveFirst();
    const QString key = rows->text(QStringLiteral("key"));
    const QString name = rows->text(QStringLiteral("name"));
    m_fieldChoice->setEnabled(!key.isEmpty());
    m_fieldChoice->clear();
    m_fields.clear();
    if (const ArchiveEntry* entry = m_archives.find(ArchiveList::keyOf(key)))
        listFields(*entry, itemType);
    if (key != m_state.relArchive && !m_state.relArchive.isEmpty()) {
        m_state.relField.clear();
        m_state.relFieldName.clear();
    }
    m_fieldChoice->setCurrentIndex(
        m_state.relFieldName.isEmpty() ? -1 : m_fieldChoice->findText(m_state.relFieldName));
    m_state.relArchiveName = name;
    m_state.relArchive = key;
    m_state.refId = key;
    m_box->setText(name);
    m_box->setValue(key);
    return true;
}

void RelatedArchive::forget() {
    m_state.relArchive.clear();
    m_state.refId.clear();
    m_state.relField.clear();
    m_state.relArchiveName.clear();
    m_state.relFieldName.clear();
    m_fields.clear();
    m_fieldChoice->clear();
    m_box->setValue(QString());
}

bool RelatedArchive::fieldChosen(int index) {
    if (index < 0 || index >= m_fields.size()) return false;
    m_state.relFieldName = m_fieldChoice->itemText(index);
    m_state.relField = m_fields.at(index).sName;
    return true;
}

}  // namespace itemdef
