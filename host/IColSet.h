#pragma once
// The column-setting service: column settings of references and lists.
#include <QString>

namespace host {

class IColSet {
public:
    virtual ~IColSet() = default;
    virtual void init(const QString& connectionText, const QString& userId) = 0;
    // An XML text holding "//ColSet" elements with cFld, cCaption and cQryField.
    virtual QString getColInfo(const QString& refKey, const QString& filter, bool all) = 0;
};

}  // namespace host
