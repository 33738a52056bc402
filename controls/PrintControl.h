#pragma once
// The print control of a window: prints, previews and exports the print data of a grid in the
// page set-up of its print style.
//
//   prn->SetDataStyleXML(pub->GetData(...), pub->GetPrnStyle(srv, key));
//   prn->PrintPreview();                       // or DoPrint(), PageSetup(), ExportToFile()
//   connect(prn, &PrintControl::styleChanged, … SavePrnStyle(srv, key, style) …);
//
// Every dialog (print, preview, page set-up, file choice) is shown through the window host, so
// tests answer them without blocking; without a window host no dialog is shown (it counts as
// cancelled).
#include <QHash>
#include <QPointer>
#include <QWidget>

#include "controls/PrintDocument.h"
#include "controls/PrintLayout.h"

class QDialog;
class QPrinter;

namespace host {
class IPub;
class IWindowHost;
struct FieldInfo;
}  // namespace host

namespace controls {

struct ExportResult {
    int count = -1;  // data rows written; -1 when nothing was written
    QString path;    // the file written
    QString error;   // why nothing was written; empty when the user cancelled
};

class PrintControl : public QWidget {
    Q_OBJECT

public:
    explicit PrintControl(QWidget* parent = nullptr);
    ~PrintControl() override;

    void setWindowHost(host::IWindowHost* windowHost) { m_windowHost = windowHost; }
    // Texts of the printed page and the file dialog come from this service (keys
    // "Q9.AA.PRINT.*"); without one they are English.
    void setPub(host::IPub* pub) { m_pub = pub; }

    // The data (<PrintData>, host::IPub::GetData) and the stored style of the print key (empty
    // for the default). False when the data cannot be read (lastError() says why); a style
    // that cannot be read is replaced by the default one. The default page is portrait, or
    // landscape for data too wide for it (row numbers count: set setPrintNo first).
    bool SetDataStyleXML(const QString& dataXml, const QString& styleXml,
                         const QString& styleName = QStringLiteral("Default"));
    const PrintDocument& document() const { return m_doc; }
    // The field (type and size, host::IPub::GetTypeSize) each grid column shows, by grid
    // column: exports write numbers and dates of those columns as such. For the data set last.
    void setColumnFields(const QHash<int, host::FieldInfo>& fields);
    const PrintStyle& printStyle() const { return m_style; }
    QString style() const { return m_style.toXml(); }

    // Row numbers printed and exported as the first column.
    void setPrintNo(bool on) { m_rowNumbers = on; }
    bool printNo() const { return m_rowNumbers; }

    // The page set-up dialog; 0 when the user changed the page, -1 otherwise. A change is kept
    // in the style; TriggerEvent(0) announces it.
    int PageSetup();
    // 0 announces the current style through styleChanged.
    void TriggerEvent(int event);
    // The print dialog, then the pages to the chosen printer; false when cancelled or failed.
    bool DoPrint();
    // The window that owns the preview and the dialogs (else the control's window).
    void SetOwner(QWidget* owner) { m_owner = owner; }
    bool PrintPreview();
    // Writes the data to a file: .xlsx, .csv or .pdf by the format ("xlsx", "csv", "pdf") or,
    // when empty, by the path's extension. An empty path asks for one.
    ExportResult ExportToFile(const QString& path = {}, const QString& format = {});

    // The pages to a PDF file in the style's page set-up; false with lastError() on failure.
    bool printToPdf(const QString& path);
    // Pages and rows per page the current data needs in the style's page set-up.
    int pageCount();
    int rowsPerPage();
    QString lastError() const { return m_error; }

    // A printer set up with the style's page layout (high resolution).
    void setUpPrinter(QPrinter& printer) const;

signals:
    void styleChanged(const QString& style);

private:
    int runDialog(QDialog* dialog);
    QWidget* owner() const;
    PrintTexts texts() const;
    QString text(const char* key, const QString& fallback) const;
    void paint(QPrinter* printer);

    host::IWindowHost* m_windowHost = nullptr;
    host::IPub* m_pub = nullptr;
    QPointer<QWidget> m_owner;
    PrintDocument m_doc;
    PrintStyle m_style;
    bool m_rowNumbers = false;
    QString m_error;
};

}  // namespace controls
