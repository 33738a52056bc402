// The checks before a save: each refusal with its message and the field it puts the focus on,
// the boundaries of the lengths, names of items in use, the default value in the related
// archive and the row-size notice of the tables an extended item is added to.
#include <QLineEdit>

#include "controls/RefEdit.h"
#include "itemdef/DataSourceRefs.h"
#include "itemdef/ItemValidation.h"
#include "platform/db/Database.h"
#include "tests/itemdef/SaveFixture.h"

using namespace savetest;

using ItemChecks = SaveTest;

TEST_F(ItemChecks, EachRefusalShowsItsMessageAndFocusesItsField) {
    openNew(kHeader);
    const int before = items();
    const auto refused = [&](const char* key, QWidget* focus, const QStringList& args = {}) {
        session.prompter->clear();
        EXPECT_FALSE(editor->Operating(QStringLiteral("SaveRs")));
        const QString expected =
            args.isEmpty() ? text(key)
                           : session.pub->GetResFormatString(QString::fromLatin1(key), args);
        EXPECT_EQ(messages(), QStringList{expected}) << key;
        EXPECT_EQ(focused(), focus) << key;
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
    edit("EdtIMaxLen")->setText(QStringLiteral("10"));
    edit("EdtiLength")->setText(QStringLiteral("12"));
    refused("Q9.AA.USERDEF.FRMZAM.787_1", edit("EdtiLength"));
    // Data source "related archive" without archive and field.
    QComboBox* source = combo("CmbiDataSource");
    source->setCurrentIndex(1);
    emit source->activated(1);
    edit("EdtIMaxLen")->setText(QStringLiteral("12"));
    refused("Q9.AA.USERDEF.FRMZAM.814_1", editor->relArchiveBox()->lineEdit());
    EXPECT_EQ(items(), before);  // nothing reached the database
}

TEST_F(ItemChecks, LengthBoundaries) {
    openNew(kHeader);
    chooseType(itemdef::kText);
    setName(QStringLiteral("规格"));
    const auto check = [&](const char* maxLen, const char* length) {
        edit("EdtIMaxLen")->setText(QString::fromLatin1(maxLen));
        edit("EdtiLength")->setText(QString::fromLatin1(length));
        session.prompter->clear();
        return editor->CheckValid();
    };
    EXPECT_TRUE(check("400", "400"));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(check("401", "400"));
    EXPECT_EQ(messages(), QStringList{text("Q9.AA.ARCHIVE.FIELD.textlengthnoexceed")});
    EXPECT_TRUE(check("12", "12"));  // equal lengths
    EXPECT_FALSE(check("11", "12"));
    EXPECT_TRUE(check("12", "11"));
    // Lengths do not count for types without them.
    chooseType(itemdef::kNumber);
    EXPECT_TRUE(check("", ""));
}

TEST_F(ItemChecks, NamesOfItemsInUse) {
    // Inventory item 1 (产地) holds values in the inventory archive: its name may not go.
    open(kInventory, QStringLiteral("80"));
    for (int c = 0; c < 3; ++c) setName(QString(), c);
    session.prompter->clear();
    EXPECT_FALSE(editor->CheckValid());
    EXPECT_EQ(messages(), QStringList{session.pub->GetResFormatString(
                              QStringLiteral("Q9.AA.USERDEF.FRMZAM.775_1"),
                              {text("Q9.AA.USERDEF.inventory")})});
    EXPECT_EQ(focused(), names());
    // A regular item not in use may lose its name; blanks alone do not make a name either.
    open(kHeader, QStringLiteral("1"));
    for (int c = 0; c < 3; ++c) setName(QString(), c);
    EXPECT_TRUE(editor->CheckValid());
    open(kInventory, QStringLiteral("80"));
    setName(QStringLiteral("   "), 0);
    for (int c = 1; c < 3; ++c) setName(QString(), c);
    EXPECT_FALSE(editor->CheckValid());
}

TEST_F(ItemChecks, DefaultValueMustExistInTheRelatedArchive) {
    // Header item 8 takes its values from the person archive; its default 林晓峰 is a person.
    open(kHeader, QStringLiteral("8"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());
    EXPECT_TRUE(messages().isEmpty());
    for (const QString& value : {QStringLiteral("无此人"), QStringLiteral("x' or '1'='1")}) {
        edit("EdtcDefaultVal")->setText(value);
        session.prompter->clear();
        EXPECT_FALSE(editor->CheckValid());
        EXPECT_EQ(messages(), QStringList{text("Q9.AA.USERDEF.FRMZAM.804_1")});
    }

    // Another archive chosen: its field is not chosen yet.
    const itemdef::ArchiveList all = itemdef::LoadArchiveList();
    itemdef::ArchiveList other;
    for (const itemdef::ArchiveEntry& e : all.entries())
        if (e.sName.compare(QLatin1String("Person"), Qt::CaseInsensitive) != 0 &&
            !e.sName.startsWith(QLatin1Char('['))) {
            other.add(e);
            break;
        }
    ASSERT_EQ(other.size(), 1);
    const host::RecordSetPtr rows = itemdef::ArchiveLookupRecords(other);
    rows->moveFirst();
    emit editor->relArchiveBox()->lookupReturned(rows);
    ASSERT_EQ(editor->state().relArchive, other.at(0).sName);
    ASSERT_TRUE(editor->state().relField.isEmpty());
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
        session.srv->OpenX(itemdef::RowSizeSql(QStringLiteral("SA_OrderHead_extradefine")));
    ASSERT_TRUE(used && !used->isEmpty());
    used->moveFirst();
    const int base = used->text(QStringLiteral("SumFieldSize")).toInt();
    const int pad = 4000 - base - 399;
    QString error;
    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral("ALTER TABLE SA_OrderHead_extradefine ADD COLUMN pad nvarchar(%1)").arg(pad),
        &error))
        << error.toStdString();

    fillNew(kHeader, {QStringLiteral("SA_OrderHead"), QStringLiteral("PU_OrderHead")},
            QStringLiteral("399"), QStringLiteral("20"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());
    EXPECT_TRUE(messages().isEmpty());  // exactly 4000: no notice

    edit("EdtIMaxLen")->setText(QStringLiteral("400"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());  // the notice informs; the save goes on
    ASSERT_EQ(messages().size(), 1);
    const QString notice = messages().first();
    const QStringList parts = notice.split(QStringLiteral("\n\n"));
    ASSERT_EQ(parts.size(), 2) << notice.toStdString();
    // Only the table over the limit is named in the first part …
    EXPECT_EQ(parts[0],
              text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.Tip4000") + QStringLiteral("\n销售订单表头"));
    // … every chosen table with its bytes in the second.
    const QStringList lines = parts[1].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << notice.toStdString();
    EXPECT_EQ(lines[0], text("Q9.AA.ARCHIVE.USERDEF.FrmZAM.RowSizes"));
    EXPECT_EQ(lines[1], session.pub->GetResFormatString(
                            QStringLiteral("Q9.AA.ARCHIVE.USERDEF.FrmZAM.RowSizeLine"),
                            {QStringLiteral("销售订单表头"), QString::number(base + pad),
                             QStringLiteral("-1")}));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("采购订单表头"))) << lines[2].toStdString();

    // Regular items add no column: no estimate.
    open(kHeader, QStringLiteral("1"));
    session.prompter->clear();
    EXPECT_TRUE(editor->CheckValid());
    EXPECT_TRUE(messages().isEmpty());
}
