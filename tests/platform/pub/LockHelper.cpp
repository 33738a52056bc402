// Takes a function lock in a process of its own and keeps it until killed:
//   pub_lock_helper <connection text> <function> <mode> [record key]
// Prints "locked" once the lock is held, "refused" when it is not, and keeps its heartbeat.
#include <QCoreApplication>
#include <QTextStream>

#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestLogin.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    testsupport::TestLogin login(args.at(1), QStringLiteral("helper"), QStringLiteral("en-US"));
    platform::pub::Pub pub(std::make_shared<platform::pub::ScriptedPrompter>(), "en-us");
    const bool refused = pub.IsLockFun(nullptr, &login, args.at(2), args.at(3).toInt(), false,
                                       args.value(4));
    QTextStream(stdout) << (refused ? "refused" : "locked") << Qt::endl;
    return refused ? 1 : app.exec();
}
