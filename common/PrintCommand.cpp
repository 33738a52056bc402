#include "common/PrintCommand.h"

#include "common/Globals.h"
#include "common/Log.h"
#include "common/ShowMsg.h"
#include "controls/PrintControl.h"

namespace userdef {

host::FieldInfo RowNumberField() {
    return {QString(), host::FieldType::Integer, 11};
}

bool RunPrintCommand(controls::PrintControl& prn, const QString& mode, const QString& printKey,
                     const QString& data, const ColumnFields& fields) {
    if (!g_Pub) return false;
    host::IPub& pub = *g_Pub;
    pub.HelpHide();
    prn.hide();
    prn.setPub(&pub);
    prn.setWindowHost(g_Factory ? g_Factory->windowHost() : nullptr);
    if (!prn.SetDataStyleXML(data, pub.GetPrnStyle(g_SrvDB.get(), printKey),
                             QStringLiteral("Default"))) {
        qCWarning(lcCommon) << "print data refused:" << prn.lastError();
        return false;
    }
    prn.setColumnFields(fields);
    const auto is = [&mode](const char* name) {
        return mode.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("SetUp")) {
        if (prn.PageSetup() == -1) return false;
        pub.SavePrnStyle(g_SrvDB.get(), printKey, prn.style());
        prn.TriggerEvent(0);
        return true;
    }
    if (is("Print")) return prn.DoPrint();
    if (is("Preview")) {
        prn.SetOwner(prn.parentWidget());
        return prn.PrintPreview();
    }
    if (is("SaveFile")) {
        const controls::ExportResult result = prn.ExportToFile(QString(), QString());
        if (result.count >= 0)
            pub.PrintMsg(result.count, printKey);
        else if (!result.error.isEmpty())  // a cancelled choice of file says nothing
            ShowMsg(result.error);
        return result.count >= 0;
    }
    qCWarning(lcCommon) << "unknown print command" << mode;
    return false;
}

bool RunPrintCommand(QWidget* window, const QString& mode, const QString& printKey,
                     const QString& data, const ColumnFields& fields) {
    controls::PrintControl prn(window);
    if (window) prn.setFont(window->font());
    return RunPrintCommand(prn, mode, printKey, data, fields);
}

}  // namespace userdef
