// Takes a function lock in a process of its own and keeps it until killed:
//   pub_lock_helper <connection text> <function> <mode> [record key]
// Prints "locked" once the lock is held, "refused" when it is not, and keeps its heartbeat.
#include <QCoreApplication>
#include <QTextStream>

#include "host/ILogin.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

namespace {

class HelperLogin : public host::ILogin {
public:
    explicit HelperLogin(QString text) : m_text(std::move(text)) {}
    QString ZxDbName() const override { return m_text; }
    QString cUserId() const override { return QStringLiteral("helper"); }
    QString cUserName() const override { return QStringLiteral("Helper"); }
    QString cAcc_id() const override { return QStringLiteral("001"); }
    host::IConnection* ZxCurrentDb() const override { return nullptr; }
    QString ZxMetaName() const override { return {}; }
    QString LanguageRegion() const override { return QStringLiteral("en-us"); }

private:
    QString m_text;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    HelperLogin login(args.at(1));
    platform::pub::Pub pub(std::make_shared<platform::pub::ScriptedPrompter>(), "en-us");
    const bool refused = pub.IsLockFun(nullptr, &login, args.at(2), args.at(3).toInt(), false,
                                       args.value(4));
    QTextStream(stdout) << (refused ? "refused" : "locked") << Qt::endl;
    return refused ? 1 : app.exec();
}
