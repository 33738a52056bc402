#pragma once
// Asks what a package holds: the items selected in the catalogue's list, the items of the class
// shown, or every item of the account. A choice that has nothing to offer is disabled.
#include <QDialog>
#include <memory>

#include "host/IPackages.h"

namespace Ui {
class FrmExportPackage;
}

namespace catalogue {

class FrmExportPackage : public QDialog {
    Q_OBJECT

public:
    // selected: how many items the list has selected. className: the class shown as the user
    // reads it, empty when the list shows every class.
    FrmExportPackage(int selected, const QString& className, QWidget* parent = nullptr);
    ~FrmExportPackage() override;

    host::PackageChoice::Kind choice() const;

private:
    std::unique_ptr<Ui::FrmExportPackage> ui;
};

}  // namespace catalogue
