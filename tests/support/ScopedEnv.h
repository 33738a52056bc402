#pragma once
// Sets (or, with unset, removes) an environment variable for the life of the object and
// puts back what was there before.
#include <QByteArray>
#include <QtGlobal>

namespace testsupport {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value, bool unset = false)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        if (unset) qunsetenv(name);
        else qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had) qputenv(m_name, m_old);
        else qunsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

}  // namespace testsupport
