#pragma once
// The filter component: a dialog in which the user puts together the condition of a list from
// the columns the host defines for a filter name.
#include <QString>

namespace host {

class ILogin;

class IFilterSvr {
public:
    virtual ~IFilterSvr() = default;
    // Shows the filter dialog of filterName (title: its window title; moduleKey: the subsystem,
    // "AA"). True when the user confirmed: condition then holds a text that can follow
    // "WHERE … and " (empty when no row was filled in). False on Cancel, condition untouched.
    virtual bool ShowFilter(ILogin* login, const QString& filterName, const QString& title,
                            const QString& moduleKey, QString& condition) = 0;
};

}  // namespace host
