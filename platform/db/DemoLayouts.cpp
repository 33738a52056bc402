// Document layouts of the demo account: three documents whose header and body fields show
// regular, extended and inventory items by their names.
#include "platform/db/Database.h"
#include "platform/db/DemoData.h"

namespace platform::db::demo {

bool fillLayouts(Database& db, QString* error) {
    const QVariant none;
    return insertRows(db, QStringLiteral("DocLayout"), {"cLayoutId", "cLayoutName", "cTableName"},
                      {{"SA01", "销售订单普通格式", "SA_OrderHead"},
                       {"SA02", "发货单普通格式", "SA_DispatchHead"},
                       {"PU01", "采购订单普通格式", "PU_OrderHead"}},
                      error) &&
           insertRows(db, QStringLiteral("DocLayoutField"),
                      {"cLayoutId", "cPart", "iOrder", "cFieldName", "cCaption", "cItemId"},
                      {{"SA01", "H", 1, "cCode", "单据号", none},
                       {"SA01", "H", 2, "dDate", "单据日期", none},
                       {"SA01", "H", 3, "cDefine1", "合同号", "1"},
                       {"SA01", "H", 4, "cDefine6", "省份", "6"},
                       {"SA01", "H", 5, "cHDefine1", "项目编号", "1001"},
                       {"SA01", "B", 1, "cInvCode", "存货编码", none},
                       {"SA01", "B", 2, "iQuantity", "数量", none},
                       {"SA01", "B", 3, "cDefine22", "颜色", "20"},
                       {"SA01", "B", 4, "cInvDefine1", "产地", "80"},
                       {"SA01", "B", 5, "cFree2", "尺码", "101"},
                       {"SA02", "H", 1, "cCode", "单据号", none},
                       {"SA02", "H", 2, "cDefine1", "合同号", "1"},
                       {"SA02", "H", 3, "cDefine8", "业务员", "8"},
                       {"SA02", "H", 4, "cInvDefine1", "主要产地", "80"},
                       {"SA02", "B", 1, "cInvCode", "存货编码", none},
                       {"SA02", "B", 2, "cInvDefine1", "产地", "80"},
                       {"SA02", "B", 3, "cDefine29", "仓库", "27"},
                       {"PU01", "H", 1, "cCode", "单据号", none},
                       {"PU01", "H", 2, "cDefine15", "交货日期", "15"},
                       {"PU01", "B", 1, "cInvCode", "存货编码", none},
                       {"PU01", "B", 2, "cInvDefine1", "产地", "80"},
                       {"PU01", "B", 3, "cFree2", "尺码", "101"}},
                      error);
}

}  // namespace platform::db::demo
