#pragma once
// The server database service: reads with SQL text, writes XML documents.
#include "host/RecordSet.h"

namespace host {

class IConnection;

class IClsCommon {
public:
    virtual ~IClsCommon() = default;
    virtual void init(const QString& connectionText) = 0;
    virtual bool Status() const = 0;  // false when connecting failed
    // The rows of a statement; null on failure (the reason goes to lastError()).
    virtual RecordSetPtr OpenX(const QString& sql) = 0;
    // A statement, a batch or the name of a server procedure; false on failure.
    virtual bool ExecuteX(const QString& sqlOrProcedure) = 0;
    virtual IConnection* m_cnn() = 0;  // the open connection; null before a successful init
    virtual QString lastError() const = 0;
};

}  // namespace host
