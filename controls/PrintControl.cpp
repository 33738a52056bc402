#include "controls/PrintControl.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "controls/ControlsLog.h"
#include "controls/PageSetupDialog.h"
#include "controls/TableExport.h"
#include "host/IPub.h"
#include "host/IWindowHost.h"
#include "host/RecordSet.h"

namespace controls {

PrintControl::PrintControl(QWidget* parent) : QWidget(parent) { hide(); }

PrintControl::~PrintControl() = default;

QString PrintControl::text(const char* key, const QString& fallback) const {
    if (!m_pub) return fallback;
    const QString k = QLatin1String(key);
    const QString t = m_pub->GetResString(k);
    return t.isEmpty() || t == k ? fallback : t;
}

PrintTexts PrintControl::texts() const {
    PrintTexts t;
    t.account = text("Q9.AA.PRINT.Account", t.account);
    t.user = text("Q9.AA.PRINT.User", t.user);
    t.date = text("Q9.AA.PRINT.Date", t.date);
    t.page = text("Q9.AA.PRINT.Page", t.page);
    t.rowNo = text("Q9.AA.PRINT.RowNo", t.rowNo);
    return t;
}

QWidget* PrintControl::owner() const { return m_owner ? m_owner.data() : window(); }

int PrintControl::runDialog(QDialog* dialog) {
    if (m_windowHost) return m_windowHost->showModal(dialog);
    qCWarning(lcControls) << "no window host to show" << dialog->metaObject()->className();
    return QDialog::Rejected;
}

bool PrintControl::SetDataStyleXML(const QString& dataXml, const QString& styleXml,
                                   const QString& styleName) {
    m_error.clear();
    QString error;
    bool stored = !styleXml.trimmed().isEmpty();
    if (!PrintStyle::parse(styleXml, &m_style, &error)) {
        qCWarning(lcControls) << "print style replaced by the default:" << error;
        stored = false;
    }
    if (!styleName.isEmpty()) m_style.name = styleName;
    PrintDocument doc;
    if (!PrintDocument::parse(dataXml, &doc, &m_error)) {
        qCWarning(lcControls) << m_error;
        m_doc = PrintDocument();
        return false;
    }
    m_doc = std::move(doc);
    if (!stored) {
        // No page set-up of the user's yet: a list too wide for a portrait page goes across.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        setUpPrinter(printer);
        PrintLayout layout(m_doc, texts(), m_rowNumbers, font());
        const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
        if (layout.naturalWidth(&printer) > area.width())
            m_style.orientation = QPageLayout::Landscape;
    }
    return true;
}

void PrintControl::setColumnFields(const QHash<int, host::FieldInfo>& fields) {
    using namespace host::FieldType;
    for (PrintColumn& column : m_doc.columns) {
        const auto it = fields.constFind(column.gridColumn);
        if (it == fields.constEnd()) continue;
        switch (it->type) {
            case SmallInt: case Integer: case Double: case Currency: case Decimal: case TinyInt:
            case BigInt: case Numeric:
                column.type = CellType::Number;
                break;
            case Date: case DBTimeStamp: column.type = CellType::Date; break;
            default: column.type = CellType::Text; break;
        }
        column.size = it->definedSize;
    }
}

void PrintControl::setUpPrinter(QPrinter& printer) const {
    printer.setPageLayout(m_style.pageLayout());
    printer.setDocName(m_doc.title);
    printer.setCreator(QStringLiteral("User-defined items"));
}

void PrintControl::paint(QPrinter* printer) {
    PrintLayout layout(m_doc, texts(), m_rowNumbers, font());
    if (!layout.print(printer)) {
        m_error = QStringLiteral("the printer cannot be painted on");
        qCWarning(lcControls) << m_error;
    }
}

int PrintControl::PageSetup() {
    PageSetupDialog dialog(m_style, m_pub, owner());
    if (runDialog(&dialog) != QDialog::Accepted) return -1;
    const PrintStyle chosen = dialog.style();
    if (chosen == m_style) return -1;
    m_style = chosen;
    return 0;
}

void PrintControl::TriggerEvent(int event) {
    if (event == 0) emit styleChanged(style());
}

bool PrintControl::DoPrint() {
    m_error.clear();
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintDialog dialog(&printer, owner());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (runDialog(&dialog) != QDialog::Accepted) return false;
    paint(&printer);
    return m_error.isEmpty();
}

bool PrintControl::PrintPreview() {
    m_error.clear();
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintPreviewDialog dialog(&printer, owner());
    dialog.setWindowTitle(m_doc.title);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { paint(p); });
    dialog.resize(900, 1000);
    runDialog(&dialog);
    return m_error.isEmpty();
}

bool PrintControl::printToPdf(const QString& path) {
    m_error.clear();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setUpPrinter(printer);
    paint(&printer);
    if (m_error.isEmpty() && !QFileInfo::exists(path))
        m_error = QStringLiteral("%1 cannot be written").arg(path);
    return m_error.isEmpty();
}

int PrintControl::pageCount() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    setUpPrinter(printer);
    PrintLayout layout(m_doc, texts(), m_rowNumbers, font());
    layout.layout(printer.pageLayout().paintRectPixels(printer.resolution()).size(), &printer);
    return layout.pageCount();
}

int PrintControl::rowsPerPage() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    setUpPrinter(printer);
    PrintLayout layout(m_doc, texts(), m_rowNumbers, font());
    layout.layout(printer.pageLayout().paintRectPixels(printer.resolution()).size(), &printer);
    return layout.rowsPerPage();
}

ExportResult PrintControl::ExportToFile(const QString& path, const QString& format) {
    ExportResult result;
    m_error.clear();
    QString file = path;
    QString kind = format.toLower();
    if (file.isEmpty()) {
        const QStringList filters = {text("Q9.AA.PRINT.Filter.Xlsx", QStringLiteral("Excel workbook (*.xlsx)")),
                                     text("Q9.AA.PRINT.Filter.Csv", QStringLiteral("CSV, UTF-8 (*.csv)")),
                                     text("Q9.AA.PRINT.Filter.Pdf", QStringLiteral("PDF (*.pdf)"))};
        QFileDialog dialog(owner(), text("Q9.AA.PRINT.ExportTitle", QStringLiteral("Export")));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(filters);
        dialog.selectFile(m_doc.title.isEmpty() ? QStringLiteral("export.xlsx")
                                                : m_doc.title + QStringLiteral(".xlsx"));
        if (runDialog(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return result;  // cancelled: nothing written, nothing to tell
        file = dialog.selectedFiles().constFirst();
        if (kind.isEmpty() && QFileInfo(file).suffix().isEmpty()) {
            const int chosen = filters.indexOf(dialog.selectedNameFilter());
            kind = chosen == 1 ? QStringLiteral("csv") : chosen == 2 ? QStringLiteral("pdf")
                                                                     : QStringLiteral("xlsx");
            file += QLatin1Char('.') + kind;
        }
    }
    if (kind.isEmpty()) kind = QFileInfo(file).suffix().toLower();
    result.path = file;
    const QString rowNo = texts().rowNo;
    bool ok = false;
    if (kind == QLatin1String("xlsx"))
        ok = writeXlsx(m_doc, m_rowNumbers, rowNo, file, &m_error);
    else if (kind == QLatin1String("csv"))
        ok = writeCsv(m_doc, m_rowNumbers, rowNo, file, &m_error);
    else if (kind == QLatin1String("pdf"))
        ok = printToPdf(file);
    else
        m_error = QStringLiteral("%1: files of type \"%2\" cannot be written (xlsx, csv or pdf)")
                      .arg(file, kind);
    if (!ok) {
        qCWarning(lcControls) << "export failed:" << m_error;
        result.error = m_error;
        return result;
    }
    result.count = int(m_doc.rows.size());
    return result;
}

}  // namespace controls
