// The checks before a save: each refusal with its message and the field it puts the focus on,
// the boundaries of the lengths, names of items in use, the default value in the related
// archive and the row-size notice of the tables an extended item is added to. Nothing refused
// reaches the account.
#include "controls/RefEdit.h"
#include "itemdef/ItemValidation.h"
#include "tests/itemdef/EditorFixture.h"
#include "tests/support/DbSnapshot.h"

using namespace edtest;

using ItemChecks = EditorTest;

TEST_F(ItemChecks, EachRefusalShowsItsMessageAndFocusesItsField) {
    openNew(kHeader);
    const testsupport::DbSnapshot before = testsupport::DbSnapshot::take(session.account.db());
    const auto refused = [&](const char* key, QWidget* focus) {
        session.prompter->clear();
        EXPECT_FALSE(editor->Operating(QStringLiteral("SaveRs")));
        EXPECT_EQ(messages(), QStringList{text(key)}) << key;
        EXPECT_EQ(editor->focusWidget(), focus) << key;
    };
    refused("Q9.AA.ARCHIVE.FIELD.thefirstchoosedatatype", combo("CmbCType"));
    chooseType(itemdef::kText);
    refused("Q9.AA.ARCHIVE.USERDEF.FrmZAM.NameNotNull", names());
    setName(QStringLiteral("Spec"), 2);  // any of the three names will do
    refused("Q9.AA.ARCHIVE.USERDEF.FrmZAM.NoNullForTextLength", edit("EdtIMaxLen"));
    edit("EdtIMaxLen")->setText(QStringLiteral("20"));
    refused("Q9.AA.USERDEF.FRMZAM.782_1", edit("EdtiLength"));
    edit("EdtIMaxLen")->setText(QStringLiteral("401"));
    edit("EdtiLength")->setText(QStringLiteral("20"));
    refused("Q9.AA.ARCHIVE.FIELD.textlengthnoexceed", edit("EdtIMaxLen"));
    edit("EdtIMaxLen")->setText(QStringLiteral("11"));
    edit("EdtiLength")->setText(QStringLiteral("12"));
    refused("Q9.AA.USERDEF.FRMZAM.787_1", edit("EdtiLength"));
    // Data source "related archive" without archive and field.
    pick(combo("CmbiDataSource"), combo("CmbiDataSource")->itemText(1));
    edit("EdtIMaxLen")->setText(QStringLiteral("12"));
    refused("Q9.AA.USERDEF.FRMZAM.814_1", editor->relArchiveBox()->lineEdit());
    EXPECT_TRUE(testsupport::sameAs(before, session.account.db()));

    // The boundaries that pass: 400 at most, the shown length up to the maximum.
    pick(combo("CmbiDataSource"), combo("CmbiDataSource")->itemText(0));
    for (const auto& [maxLen, length] : {std::pair{"400", "400"}, {"12", "12"}, {"12", "11"}}) {
        edit("EdtIMaxLen")->setText(QString::fromLatin1(maxLen));
        edit("EdtiLength")->setText(QString::fromLatin1(length));
        EXPECT_TRUE(editor->CheckValid()) << maxLen << " " << length;
    }
    chooseType(itemdef::kNumber);  // lengths do not count for types without them
    EXPECT_TRUE(editor->CheckValid());
}

TEST_F(ItemChecks, NamesOfItemsInUse) {
    // Inventory item 1 (产地) holds values in the inventory archive: its name may not go, and
    // blanks alone are no name.
    for (const QString& first : {QString(), QStringLiteral("   ")}) {
        open(kInventory, QStringLiteral("80"));
        setName(first, 0);
        for (int c = 1; c < 3; ++c) setName(QString(), c);
        session.prompter->clear();
        EXPECT_FALSE(editor->CheckValid());
        EXPECT_EQ(messages(), QStringList{session.pub->GetResFormatString(
                                  QStringLiteral("Q9.AA.USERDEF.FRMZAM.775_1"),
                                  {text("Q9.AA.USERDEF.inventory")})});
        EXPECT_EQ(editor->focusWidget(), names());
    }
    // A regular item not in use may lose its name.
    open(kHeader, QStringLiteral("1"));
    for (int c = 0; c < 3; ++c) setName(QString(), c);
    EXPECT_TRUE(editor->CheckValid());
}

TEST_F(ItemChecks, DefaultValueMustExistInTheRelatedArchive) {
    // Header item 8 takes its values from the person archive; its default 林晓峰 is a person.
    open(kHeader, QStringLiteral("8"));
    EXPECT_TRUE(editor->CheckValid());
    EXPECT_TRUE(messages().isEmpty());
    for (const QString& value : {QStringLiteral("无此人"), QStringLiteral("x' or '1'='1")}) {
        edit("EdtcDefaultVal")->setText(value);
        session.prompter->clear();
        EXPECT_FALSE(editor->CheckValid());
        EXPECT_EQ(messages(), QStringList{text("Q9.AA.USERDEF.FRMZAM.804_1")});
    }

    // Another archive chosen: its field is not chosen yet.
    emit editor->relArchiveBox()->lookupReturned(std::make_shared<host::RecordSet>(
        QVector<host::FieldInfo>{{QStringLiteral("key")}, {QStringLiteral("name")}},
        QVector<QVector<QVariant>>{{QStringLiteral("Warehouse"), QStringLiteral("仓库档案")}}));
    session.prompter->clear();
    EXPECT_FALSE(editor->CheckValid());
    EXPECT_EQ(messages(), QStringList{session.pub->GetResFormatString(
                              QStringLiteral("Q9.AA.USERDEF.FRMZAM.798_1"),
                              {combo("CmbCType")->currentText()})});
    // Without a default value the missing field is the data source's refusal.
    edit("EdtcDefaultVal")->clear();
    session.prompter->clear();
    EXPECT_FALSE(editor->CheckValid());
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.USERDEF.FRMZAM.814_1")});
}

TEST_F(ItemChecks, RowSizeNoticeAboveFourThousandBytes) {
    // SA_OrderHead_extradefine is padded so that a text item of 399 fills it to exactly 4000.
    const host::RecordSetPtr used =
        session.srv->OpenX(itemdef::RowSizeSql({QStringLiteral("SA_OrderHead_extradefine")}));
    ASSERT_TRUE(used && !used->isEmpty());
    used->moveFirst();
    const int base = used->text(QStringLiteral("SumFieldSize")).toInt();
    const int pad = 4000 - base - 399;
    sql(QStringLiteral("ALTER TABLE SA_OrderHead_extradefine ADD COLUMN pad nvarchar(%1)").arg(pad));

    fillNew(kHeader, {QStringLiteral("SA_OrderHead"), QStringLiteral("PU_OrderHead")},
            QStringLiteral("399"), QStringLiteral("20"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());
    EXPECT_TRUE(messages().isEmpty());  // exactly 4000: no notice

    edit("EdtIMaxLen")->setText(QStringLiteral("400"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());  // the notice informs; the save goes on
    ASSERT_EQ(messages().size(), 1);
    // Only the table over the limit is named first, then every chosen table with its bytes.
    const QStringList lines = messages().first().split(QLatin1Char('\n'));
    EXPECT_EQ(lines,
              (QStringList{text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.Tip4000"), "销售订单表头", "",
                           text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.RowSizes"),
                           session.pub->GetResFormatString(
                               QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.RowSizeLine"),
                               {"销售订单表头", QString::number(base + pad), "-1"}),
                           lines.value(5)}));
    EXPECT_TRUE(lines.value(5).startsWith(QStringLiteral("采购订单表头")));

    // Regular items add no column: no estimate.
    open(kHeader, QStringLiteral("1"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());
    EXPECT_TRUE(messages().isEmpty());
}
