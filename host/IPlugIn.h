#pragma once
// Host plug-ins that add controls and behaviour to the component's windows.
#include <QMap>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class QWidget;
class QTabWidget;

namespace host {

class IClsCommon;
class IGrid;
class ILogin;

// What a plug-in may call back on the window that hosts it.
class IPlugInHost {
public:
    virtual ~IPlugInHost() = default;
    virtual void PlugInNotice(const QString& notice) = 0;
    virtual QString Talk(const QString& fieldName) = 0;
    // The window's grid, for plug-ins that show columns of their own; null when it has none.
    virtual IGrid* PlugInGrid() { return nullptr; }
};

class IPlugIn {
public:
    virtual ~IPlugIn() = default;
    virtual void init(const QString& kind, const QString& itemId, IPlugInHost* window) = 0;
    virtual void SetQ9ArchiveDbSrv(IClsCommon* srv) = 0;
    virtual void LoadPlugInControls(QTabWidget* tabs) = 0;
    virtual void UnLoadPlugInControls() = 0;
    virtual void StartAdd() = 0;
    virtual void StartModify() = 0;
    virtual void EndAdd() = 0;
    virtual void EndModify() = 0;
    virtual int CurrentState() const = 0;  // 3 while modifying
    virtual void FillGridCell(int row) = 0;
    virtual void ActivateGridColumnControl(int row) = 0;
    virtual void TabPageChanged(int previous, int current) = 0;
};

using PlugInCollection = std::vector<std::shared_ptr<IPlugIn>>;

class IPlugInManager {
public:
    virtual ~IPlugInManager() = default;
    virtual void init(const QString& accountId, ILogin* login) = 0;
    // The plug-ins registered for a key; null when none is registered. `missing` receives the
    // plug-ins that are registered but not installed (name -> true).
    virtual std::shared_ptr<PlugInCollection> plugIns(const QString& key,
                                                      QMap<QString, QVariant>& missing) = 0;
    virtual bool announceMissing() const = 0;
};

}  // namespace host
