// The desk program: a command of the command line, or the desk window.
#include <QApplication>
#include <QLabel>
#include <QTextStream>
#include <cstdio>

#include "app/Cli.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"

namespace {

// Until the desk lands: a plain window that shows the demo account's item count.
int showDesk(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::server::ClsCommon srv;
    srv.init(platform::server::accountConnectionText(app::dataRoot(), QStringLiteral("001"),
                                                     QStringLiteral("zh-CN")));
    const host::RecordSetPtr rows =
        srv.Status() ? srv.OpenX(QStringLiteral("select count(*) as n from UserDef")) : nullptr;
    QLabel label(rows ? QStringLiteral("演示账套 001：%1 个自定义项").arg(rows->text(0))
                      : QStringLiteral("演示账套 001 无法打开：%1").arg(srv.lastError()));
    label.setObjectName(QStringLiteral("LblItemCount"));
    label.setMargin(24);
    label.show();
    return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && app::isCliCommand(QString::fromLocal8Bit(argv[1]))) {
        QCoreApplication application(argc, argv);
        QTextStream out(stdout), err(stderr);
        return app::runCli(application.arguments().mid(1), out, err);
    }
    return showDesk(argc, argv);
}
