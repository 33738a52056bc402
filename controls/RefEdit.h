#pragma once
// The host's look-up box. In plain mode it is a line edit. In reference mode it adds a "…"
// button; the button or F2 opens a LookupWindow over the reference's data source:
//   - setReference(rows, refXml): an in-memory record set, configured by the <Ref> text;
//   - setReference(srv, refXml): the <Ref> text's statement (RefDefinition::statement), run
//     through the server database service each time the window opens.
// After a choice the box shows the cShowFld values (else cEntityNameFld's) and value() holds the
// cRetFld values (else cEntityKeyFld's); several rows are joined with ",". lookupReturned
// carries the chosen rows with every field of the data source; closing the window without a
// choice reports null and leaves the box as it was.
// Text the user types sets value() to the typed text.
//
// The window is shown through the runner: by default through the box's window host, else the
// default window host, else with exec(). Tests set a runner that drives the window's widgets and
// returns choice().
#include <QWidget>
#include <functional>

#include "controls/RefDefinition.h"
#include "host/RecordSet.h"

class QLineEdit;
class QToolButton;

namespace host {
class IClsCommon;
class IWindowHost;
}  // namespace host

namespace controls {

class LookupWindow;

class RefEdit : public QWidget {
    Q_OBJECT

public:
    using LookupRunner = std::function<host::RecordSetPtr(LookupWindow&)>;

    explicit RefEdit(QWidget* parent = nullptr);
    ~RefEdit() override;

    void setPlainMode();
    // False, with lastError(), when the text is not a usable definition or there is no data
    // source (null rows; a null service or no select part). The box stays as it was then.
    bool setReference(host::RecordSetPtr rows, const QString& refXml);
    bool setReference(host::IClsCommon* srv, const QString& refXml);
    bool isReferenceMode() const { return m_reference; }
    const RefDefinition& definition() const { return m_def; }
    QString lastError() const { return m_lastError; }

    QString text() const;
    void setText(const QString& text);  // also sets value() to the same text
    QString value() const { return m_value; }
    void setValue(const QString& value) { m_value = value; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    void setMaxLength(int length);
    void setTitle(const QString& title);  // the window's title; else the definition's cRefName

    // The rows the window would list now: the record set given, or the statement's result
    // (null with lastError() when it fails).
    host::RecordSetPtr loadRows();
    // The rows whose return, show or check field equals `text` (letter case ignored): what a
    // typed text stands for. Empty when none; null when the rows cannot be read.
    host::RecordSetPtr rowsMatching(const QString& text);
    // Opens the look-up window and returns the chosen rows, or null (Escape, nothing to list,
    // read-only, not in reference mode, or kept shut by the before-look-up hook). Emits
    // lookupReturned when the window was shown.
    host::RecordSetPtr lookup();

    void setWindowHost(host::IWindowHost* windowHost) { m_windowHost = windowHost; }
    // The window host of every box that has neither a runner nor a window host of its own (set
    // once per session, so that no look-up anywhere falls back to exec()); null to clear.
    static void setDefaultWindowHost(host::IWindowHost* windowHost);
    void setLookupRunner(LookupRunner runner) { m_runner = std::move(runner); }
    // Runs each time before the window opens: it may give the box another reference (a
    // definition that depends on other choices) or answer false to keep the window shut.
    void setBeforeLookup(std::function<bool()> before) { m_before = std::move(before); }

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* lookupButton() const { return m_button; }

signals:
    void lookupReturned(host::RecordSetPtr rows);  // null when the window closed without choice
    void lookupFailed(const QString& error);       // the data source could not be read
    void textChanged(const QString& text);         // by the user, the program or a choice
    void textEdited(const QString& text);          // by the user's typing only

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool takeDefinition(const QString& refXml);
    host::RecordSetPtr runWindow(LookupWindow& window);
    void applyChoice(const host::RecordSet& rows);
    void updateButton();

    QLineEdit* m_edit;
    QToolButton* m_button;
    bool m_reference = false;
    bool m_readOnly = false;
    RefDefinition m_def;
    host::RecordSetPtr m_rows;
    host::IClsCommon* m_srv = nullptr;
    host::IWindowHost* m_windowHost = nullptr;
    LookupRunner m_runner;
    std::function<bool()> m_before;
    QString m_value;
    QString m_title;
    QString m_lastError;
};

}  // namespace controls
