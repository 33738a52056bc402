// The editor's flag rules on plain field states (the window tests cover what a user reaches
// through the type, the name and the fixed length).
#include <gtest/gtest.h>

#include "itemdef/FieldRules.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/ItemRecord.h"

using namespace itemdef;

TEST(FieldRules, MultipleChoiceAndAttachmentTurnOffTheFlagsThatExcludeThem) {
    const FlagContext named{QStringLiteral("颜色"), QStringLiteral("4"), false};
    // Several values: no value check and no archive, both back (unticked) once it goes.
    EditorFields m;
    m.flags[kCheckVal].checked = m.flags[kArchive].checked = true;
    m.flags[kMultiSel].checked = true;
    flagClicked(kMultiSel, m, named);
    EXPECT_FALSE(m.flags[kCheckVal].checked || m.flags[kCheckVal].enabled);
    EXPECT_FALSE(m.flags[kArchive].checked || m.flags[kArchive].enabled);
    m.flags[kMultiSel].checked = false;
    flagClicked(kMultiSel, m, named);
    EXPECT_TRUE(m.flags[kCheckVal].enabled && m.flags[kArchive].enabled);
    EXPECT_FALSE(m.flags[kCheckVal].checked);

    // Check validity stays ticked while archive is.
    EditorFields a;
    a.flags[kArchive].checked = true;
    flagClicked(kArchive, a, named);
    a.flags[kCheckVal].checked = false;
    flagClicked(kCheckVal, a, named);
    EXPECT_TRUE(a.flags[kCheckVal].checked);

    // An attachment item takes no other flag; a free item keeps the picture off afterwards.
    EditorFields f;
    f.flags[kAttachFile].checked = true;
    flagClicked(kAttachFile, f, named);
    for (const Flag other : {kCheckVal, kFixLength, kArchive, kPic})
        EXPECT_FALSE(f.flags[other].enabled) << other;
    f.flags[kAttachFile].checked = false;
    flagClicked(kAttachFile, f, {named.itemName, named.length, /*free*/ true});
    EXPECT_FALSE(f.flags[kPic].enabled);
}

TEST(InUseProbe, TheItemNumberComesFromTheLabelOfEachKind) {
    for (const auto& [cClass, cItem, number] :
         {std::tuple{"客户", "自定义项16", "16"}, {"批次属性", "属性10", "10"},
          {"存货", "自由项2", "2"}, {"客户", "自定义项x'", ""}})
        EXPECT_EQ(probeNumber(QString::fromUtf8(cClass), QString::fromUtf8(cItem)),
                  QString::fromLatin1(number))
            << cItem;
    EXPECT_TRUE(inUseProbeSql(QStringLiteral("单据头"), QStringLiteral("自定义项1")).isEmpty());
}
