#pragma once
// The catalogue window as the entry opens it.
#if __has_include("catalogue/FrmUserDef.h")
#include "catalogue/FrmUserDef.h"
namespace userdef {
using CatalogueWindow = catalogue::FrmUserDef;
}
#define USERDEF_HAS_CATALOGUE 1
#else
#include <QWidget>
namespace userdef {
// Stand-in while the catalogue window is not part of the tree.
class CatalogueWindow : public QWidget {
public:
    explicit CatalogueWindow(QWidget* parent = nullptr) : QWidget(parent) {}
    bool m_InPotal = false;
    void ExitForm() { close(); }
};
}  // namespace userdef
#define USERDEF_HAS_CATALOGUE 0
#endif
