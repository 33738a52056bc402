// Writes items from a process of its own, for the tests of several administrators at once and
// of a save cut short:
//   item_write_helper add <connection text> <items>
//       adds <items> extended header items linked to SA_OrderHead and PU_OrderHead, numbering
//       each as the editor does and numbering again when the server refuses a duplicate;
//       prints "added <cId> <column> <retries>" per item, "failed <reason>" on another refusal
//   item_write_helper modify <connection text> <cId>
//       saves the item again and again, its maximum length and name switching between
//       30/"甲" and 40/"乙"; prints "saved <n>" after each save
#include <QCoreApplication>
#include <QTextStream>

#include "platform/server/ClsCommon.h"
#include "tests/platform/server/ItemDocumentBuilder.h"

namespace {

int nextNumber(platform::server::ClsCommon& srv, const QString& sql, const QString& field,
               int first) {
    const host::RecordSetPtr rs = srv.OpenX(sql);
    if (!rs || rs->isEmpty() || rs->isNull(field)) return first;
    return rs->value(field).toInt() + 1;
}

int add(platform::server::ClsCommon& srv, int items) {
    QTextStream out(stdout);
    for (int k = 0; k < items; ++k) {
        for (int retries = 0;; ++retries) {
            const int id = nextNumber(srv,
                                      QStringLiteral("select MAX(cid) as maxcid from Userdef where "
                                                     "convert(int,cID) between 1000 and 2000 "),
                                      QStringLiteral("maxcid"), 1001);
            const int column = nextNumber(
                srv,
                QStringLiteral(
                    " select max( CAST ( REPLACE(cDicDbName,'cHDefine','')as int)) as max_int from "
                    "UserDef_base where cDicDbName like 'cHDefine%' "),
                QStringLiteral("max_int"), 1);
            const testsupport::ItemDoc doc = testsupport::newHeaderItem(
                QString::number(id), column, {"SA_OrderHead", "PU_OrderHead"},
                QStringLiteral("并发%1").arg(id));
            QString error;
            if (srv.Add(doc.xml(), QStringLiteral("Userdef_base"), &error)) {
                out << "added " << id << ' ' << doc.dicDbName << ' ' << retries << Qt::endl;
                break;
            }
            if (!error.contains(QLatin1String("already used")) || retries > 200) {
                out << "failed " << error << Qt::endl;
                return 1;
            }
        }
    }
    return 0;
}

int modify(platform::server::ClsCommon& srv, const QString& id) {
    QTextStream out(stdout);
    const host::RecordSetPtr item =
        srv.OpenX(QStringLiteral("select cItem, cDicDbName from UserDef where cId=N'%1'")
                      .arg(host::sqlValue(id)));
    const host::RecordSetPtr tables =
        srv.OpenX(QStringLiteral("select TableName from UserDefDetail where cid=N'%1'")
                      .arg(host::sqlValue(id)));
    if (!item || item->isEmpty() || !tables) return 1;
    testsupport::ItemDoc doc;
    doc.id = id;
    doc.cClass = QStringLiteral("单据头");
    doc.cItem = item->text(QStringLiteral("cItem"));
    doc.dicDbName = item->text(QStringLiteral("cDicDbName"));
    for (int r = 0; r < tables->recordCount(); ++r) doc.kept << tables->at(r, 0).toString();
    for (int n = 1;; ++n) {
        const bool even = n % 2 == 0;
        doc.maxLen = even ? QStringLiteral("30") : QStringLiteral("40");
        doc.name = doc.nameTw = doc.nameEn = even ? QStringLiteral("甲") : QStringLiteral("乙");
        QString error;
        if (!srv.Modify(doc.xml(), QStringLiteral("Userdef"), &error)) {
            out << "failed " << error << Qt::endl;
            return 1;
        }
        out << "saved " << n << Qt::endl;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    platform::server::ClsCommon srv;
    srv.init(args.at(2));
    if (!srv.Status()) {
        QTextStream(stdout) << "failed " << srv.lastError() << Qt::endl;
        return 1;
    }
    if (args.at(1) == QLatin1String("add")) return add(srv, args.at(3).toInt());
    if (args.at(1) == QLatin1String("modify")) return modify(srv, args.at(3));
    return 2;
}
