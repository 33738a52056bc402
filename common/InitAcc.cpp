#include "common/InitAcc.h"

#include <exception>

#include "common/Globals.h"
#include "common/Log.h"
#include "common/NameTables.h"
#include "common/ShowMsg.h"

namespace userdef {

namespace {

QStringList lookUp(host::IPub& pub, std::initializer_list<const char*> keys) {
    QStringList texts;
    texts.reserve(int(keys.size()));
    for (const char* key : keys) texts << pub.GetResString(QString::fromLatin1(key));
    return texts;
}

}  // namespace

bool InitAcc() {
    try {
        if (!g_Pub) throw std::runtime_error("no public service");
        host::IPub& pub = *g_Pub;
        // Filled into locals first, so a failure leaves the tables as they were.
        const QStringList yesNo =
            lookUp(pub, {"Q9.AA.ARCHIVE.COMMON.no", "Q9.AA.ARCHIVE.COMMON.yes"});
        const QStringList dataSource =
            lookUp(pub, {"Q9.AA.ARCHIVE.COMMON.idatasource0", "Q9.AA.ARCHIVE.COMMON.idatasource1"});
        QStringList classNames;
        for (const QString& key : classTextKeys()) classNames << pub.GetResString(key);
        const QStringList itemKinds = lookUp(
            pub, {"Q9.AA.USERDEF.userfreeitem", "Q9.AA.USERDEF.userdefineitem",
                  "Q9.AA.ARCHIVE.FIELD.property", "Q9.AA.ARCHIVE.FIELD.extenduserdefineitem"});
        const QStringList dataTypes =
            lookUp(pub, {"Q9.AA.USERDEF.datatype_text", "Q9.AA.USERDEF.datatype_date",
                         "Q9.AA.USERDEF.datatype_int", "Q9.AA.USERDEF.datatype_float",
                         "Q9.AA.USERDEF.datatype_datetime"});
        g_YesNo = yesNo;
        g_DataSource = dataSource;
        g_ClassNames = classNames;
        g_ItemKinds = itemKinds;
        g_DataTypes = dataTypes;
        return true;
    } catch (const std::exception& e) {
        const QString text = QStringLiteral("Common_InitAcc") + QString::fromUtf8(e.what());
        qCWarning(lcCommon).noquote() << text;
        ShowMsg(text);
        return false;
    }
}

}  // namespace userdef
