#pragma once
// While alive, every complaint of a QAbstractItemModelTester (in Warning mode) fails the
// running test.
#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>

class ModelTesterFailures {
public:
    ModelTesterFailures() : m_previous(qInstallMessageHandler(&complain)) {}
    ~ModelTesterFailures() { qInstallMessageHandler(m_previous); }
    ModelTesterFailures(const ModelTesterFailures&) = delete;
    ModelTesterFailures& operator=(const ModelTesterFailures&) = delete;

private:
    static void complain(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && context.category && QByteArray(context.category) == "qt.modeltest")
            ADD_FAILURE() << text.toStdString();
    }
    QtMessageHandler m_previous;
};
