#pragma once
// The catalogue window shown on a session over a fresh demo-account copy.
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "tests/support/TestSession.h"

namespace cattest {

using namespace testsupport;

inline std::unique_ptr<catalogue::FrmUserDef> openCatalogue(bool inPortal = false,
                                                            const QString& classCode = {}) {
    auto w = std::make_unique<catalogue::FrmUserDef>(inPortal, classCode);
    w->resize(1100, 700);
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    return w;
}

// The ids of the listed items (the hidden cId column), and the row of one; 0 when not listed.
inline QStringList listedIds(const catalogue::FrmUserDef& w) {
    QStringList ids;
    for (int r = 1; r < w.grid()->rows(); ++r) ids << w.grid()->text(r, catalogue::kColId);
    return ids;
}
inline int rowOfId(const catalogue::FrmUserDef& w, const QString& id) {
    return int(listedIds(w).indexOf(id)) + 1;
}

// Whether the host toolbar's button is shown and can be pressed.
inline bool hostEnabled(const catalogue::FrmUserDef& w, const char* key) {
    QAction* a = w.hostToolbar()->action(QString::fromLatin1(key));
    return a && a->isVisible() && a->isEnabled();
}

}  // namespace cattest
