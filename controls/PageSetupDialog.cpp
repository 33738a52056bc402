#include "controls/PageSetupDialog.h"

#include <QPushButton>

#include "host/IPub.h"
#include "ui_PageSetupDialog.h"

namespace controls {

namespace {

constexpr QPageSize::PageSizeId kPapers[] = {QPageSize::A4, QPageSize::A3,     QPageSize::A5,
                                             QPageSize::B5, QPageSize::Letter, QPageSize::Legal};

}  // namespace

PageSetupDialog::PageSetupDialog(const PrintStyle& style, host::IPub* pub, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::PageSetupDialog>()), m_style(style) {
    ui->setupUi(this);
    const auto text = [pub](const char* key, QWidget* w, const QString& current) {
        if (!pub) return current;
        const QString k = QStringLiteral("Q9.AA.PRINT.Setup.") + QLatin1String(key);
        const QString t = pub->GetResString(k);
        return t.isEmpty() || t == k ? current : t;
    };
    setWindowTitle(text("Title", this, windowTitle()));
    ui->LblPaper->setText(text("Paper", ui->LblPaper, ui->LblPaper->text()));
    ui->LblOrientation->setText(text("Orientation", ui->LblOrientation, ui->LblOrientation->text()));
    ui->OptPortrait->setText(text("Portrait", ui->OptPortrait, ui->OptPortrait->text()));
    ui->OptLandscape->setText(text("Landscape", ui->OptLandscape, ui->OptLandscape->text()));
    ui->FraMargins->setTitle(text("Margins", ui->FraMargins, ui->FraMargins->title()));
    ui->LblTop->setText(text("Top", ui->LblTop, ui->LblTop->text()));
    ui->LblBottom->setText(text("Bottom", ui->LblBottom, ui->LblBottom->text()));
    ui->LblLeft->setText(text("Left", ui->LblLeft, ui->LblLeft->text()));
    ui->LblRight->setText(text("Right", ui->LblRight, ui->LblRight->text()));

    for (const QPageSize::PageSizeId id : kPapers)
        ui->CmbPaper->addItem(QPageSize::name(id), int(id));
    const int paper = ui->CmbPaper->findData(int(style.paper));
    ui->CmbPaper->setCurrentIndex(paper >= 0 ? paper : 0);
    (style.orientation == QPageLayout::Landscape ? ui->OptLandscape : ui->OptPortrait)
        ->setChecked(true);
    const QList<QPair<QDoubleSpinBox*, qreal>> margins = {
        {ui->SpnTop, style.marginsMm.top()},
        {ui->SpnBottom, style.marginsMm.bottom()},
        {ui->SpnLeft, style.marginsMm.left()},
        {ui->SpnRight, style.marginsMm.right()}};
    for (const auto& [spin, value] : margins) {
        spin->setRange(0, 60);
        spin->setDecimals(1);
        spin->setSuffix(QStringLiteral(" mm"));
        spin->setValue(value);
    }
    connect(ui->Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

PageSetupDialog::~PageSetupDialog() = default;

PrintStyle PageSetupDialog::style() const {
    PrintStyle s = m_style;
    s.paper = static_cast<QPageSize::PageSizeId>(ui->CmbPaper->currentData().toInt());
    s.orientation = ui->OptLandscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    s.marginsMm = QMarginsF(ui->SpnLeft->value(), ui->SpnTop->value(), ui->SpnRight->value(),
                            ui->SpnBottom->value());
    return s;
}

}  // namespace controls
