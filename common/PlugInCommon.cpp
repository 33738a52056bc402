#include "common/PlugInCommon.h"

#include "common/Globals.h"
#include "common/Log.h"

namespace userdef {

namespace {

std::shared_ptr<host::IPlugInManager>& manager() { return Session::current().plugInManager; }

}  // namespace

bool LoadPlugIns(const QString& key, host::ILogin* login,
                 std::shared_ptr<host::PlugInCollection>& plugIns) {
    plugIns.reset();
    if (!manager()) {
        if (!g_Factory) {
            qCWarning(lcCommon) << "LoadPlugIns without a host factory";
            return false;
        }
        manager() = g_Factory->createPlugInManager();
        if (!manager()) {
            qCWarning(lcCommon) << "the host has no plug-in manager";
            return false;
        }
        manager()->init(login ? login->cAcc_id() : QString(), login);
    }
    QMap<QString, QVariant> missing;
    plugIns = manager()->plugIns(key, missing);
    if (!plugIns) return false;
    if (!plugIns->empty()) {
        for (const auto& plugIn : *plugIns)
            if (plugIn) plugIn->SetQ9ArchiveDbSrv(nullptr);
        return true;
    }
    if (manager()->announceMissing() && !missing.isEmpty()) {
        for (auto it = missing.cbegin(); it != missing.cend(); ++it) {
            if (!it.value().toBool()) continue;
            if (g_Pub)
                g_Pub->MsgBox(QStringLiteral("检测到您的客户端没有安装自定项插件!请安装后再使用."),
                              host::MsgButtons::Information, QStringLiteral("插件未找到!"));
            else
                qCWarning(lcCommon) << "plug-in not installed:" << it.key();
        }
    }
    return false;
}

}  // namespace userdef
