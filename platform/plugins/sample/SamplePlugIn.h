#pragma once
// A notes tab: one labelled text field per item (item editor) or per value (value archive).
// Notes are kept in memory for the life of the process, keyed by item id and, where the window
// answers Talk("cValue"), by value.
//
// In the value archive the notes also show as the last column of the value grid.
//
// States: 0 browsing (field read only), 1 adding, 3 modifying. Typing in the field tells the
// window "Button_SAVE"; EndAdd/EndModify keep the note and go back to browsing.
#include <QPointer>
#include <QString>

#include "host/IPlugIn.h"

class QLineEdit;
class QWidget;

namespace sample {

class SamplePlugIn : public host::IPlugIn {
public:
    SamplePlugIn() = default;
    ~SamplePlugIn() override;

    void init(const QString& kind, const QString& itemId, host::IPlugInHost* window) override;
    void SetQ9ArchiveDbSrv(host::IClsCommon* srv) override { m_srv = srv; }
    void LoadPlugInControls(QTabWidget* tabs) override;
    void UnLoadPlugInControls() override;
    void StartAdd() override;
    void StartModify() override;
    void EndAdd() override { finish(); }
    void EndModify() override { finish(); }
    int CurrentState() const override { return m_state; }
    // In the value archive: a note column at the grid's end, the row's note in it.
    void FillGridCell(int row) override;
    void ActivateGridColumnControl(int row) override { showNote(); }
    void TabPageChanged(int previous, int current) override {}

    // The note stored for a key (item id, or item id + "|" + value).
    static QString storedNote(const QString& key);
    static QString columnCaption();

private:
    QString noteKey() const;
    void showNote();
    void finish();

    QString m_kind;
    QString m_itemId;
    host::IPlugInHost* m_window = nullptr;
    host::IClsCommon* m_srv = nullptr;
    QPointer<QTabWidget> m_tabs;
    QPointer<QWidget> m_page;
    QPointer<QLineEdit> m_field;
    QString m_editKey;  // the key the current edit belongs to
    int m_state = 0;
    bool m_filling = false;
};

}  // namespace sample
