#pragma once
// The item editor's save as a user drives it: helpers on top of the editor fixture to fill a new
// item, read the document the save would send and count rows.
#include <QAction>
#include <QXmlStreamReader>

#include "controls/CheckTree.h"
#include "controls/CheckTreeModel.h"
#include "itemdef/ItemSave.h"
#include "tests/itemdef/EditorFixture.h"

namespace savetest {

inline const QString kHeader = QStringLiteral("单据头");
inline const QString kBody = QStringLiteral("单据体");
inline const QString kInventory = QStringLiteral("存货");
inline const QString kVendor = QStringLiteral("供应商");
inline const QString kCustomer = QStringLiteral("客户");

// A parsed item document: root name, its cover attribute and its children as "name=text".
struct Doc {
    QString root;
    QString coverBody;
    QStringList elements;
    QString xml;
};
inline Doc parse(const QString& xml) {
    Doc d;
    d.xml = xml;
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement()) {
        ADD_FAILURE() << "no document: " << xml.toStdString();
        return d;
    }
    d.root = reader.name().toString();
    d.coverBody = reader.attributes().hasAttribute(QLatin1String("bCoverVouchBody"))
                      ? reader.attributes().value(QLatin1String("bCoverVouchBody")).toString()
                      : QStringLiteral("<none>");
    while (reader.readNextStartElement()) {
        const QString name = reader.name().toString();
        const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        const bool share = name.endsWith(QLatin1String("UserDefDetail"));
        d.elements << name + (share ? QString() : QLatin1Char('=') + text);
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << "\n"
                                    << xml.toStdString();
    return d;
}

class SaveTest : public edtest::EditorTest {
protected:
    void SetUp() override {
        edtest::EditorTest::SetUp();
        for (int n = 0; n < 3; ++n) {
            auto* tip = new QAction(QStringLiteral("mVouchTip%1").arg(n), &tipOwner);
            tip->setCheckable(true);
            tips << tip;
        }
    }
    // The opener's overwrite choice (-1: none checked).
    void chooseCover(int option) {
        for (int n = 0; n < 3; ++n) tips[n]->setChecked(n == option);
        editor->setCoverTips(tips);
    }
    // A new text item of the class with names, lengths and (header, body) the given tables.
    void fillNew(const QString& cClass, const QStringList& tables = {},
                 const QString& maxLen = "20", const QString& length = "10") {
        openNew(cClass);
        chooseType(itemdef::kText);
        edit("EdtIMaxLen")->setText(maxLen);
        edit("EdtiLength")->setText(length);
        setName(QStringLiteral("规格"), 0);
        setName(QStringLiteral("規格"), 1);
        setName(QStringLiteral("Spec"), 2);
        for (const QString& t : tables) tick(QStringLiteral("Mark&&") + t, true);
    }
    void tick(const QString& key, bool on) {
        controls::CheckTreeModel* model = editor->tree()->model();
        ASSERT_TRUE(model->contains(key)) << key.toStdString();
        model->setTicked(key, on);
        emit model->nodeTicked(key, on);
    }
    Doc document() {
        const auto built = editor->BuildItemDocument();
        EXPECT_TRUE(built.has_value());
        return built ? parse(built->xml) : Doc{};
    }
    int count(const QString& sql) {
        const host::RecordSetPtr rs = session.srv->OpenX(sql);
        EXPECT_TRUE(rs) << sql.toStdString() << session.srv->lastError().toStdString();
        if (!rs || rs->isEmpty()) return -1;
        rs->moveFirst();
        return rs->text(rs->field(0).name).toInt();
    }
    int items() { return count(QStringLiteral("select count(*) as n from userdef_base")); }
    QWidget* focused() const { return editor->focusWidget(); }

    QObject tipOwner;
    QList<QAction*> tips;
};

}  // namespace savetest
