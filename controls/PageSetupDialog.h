#pragma once
// Page set-up of a print style: paper, orientation and margins. Works without any printer
// installed (the platform's page set-up dialog needs a native one).
#include <QDialog>
#include <memory>

#include "controls/PrintDocument.h"

namespace Ui {
class PageSetupDialog;
}
namespace host {
class IPub;
}

namespace controls {

class PageSetupDialog : public QDialog {
    Q_OBJECT

public:
    // Texts from the service's "Q9.AA.PRINT.Setup.*" keys when given, else English.
    PageSetupDialog(const PrintStyle& style, host::IPub* pub, QWidget* parent = nullptr);
    ~PageSetupDialog() override;

    // The style with the page as the dialog shows it.
    PrintStyle style() const;

private:
    std::unique_ptr<Ui::PageSetupDialog> ui;
    PrintStyle m_style;
};

}  // namespace controls
