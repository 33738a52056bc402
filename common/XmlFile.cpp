// WriteXmlFile: the debug copy of a document, in the encoding its declaration names.
#include <iconv.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringEncoder>
#include <cerrno>

#include "common/Log.h"
#include "common/XmlFile.h"

namespace userdef {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

// GB2312 bytes of text; false when a character has no GB2312 code or no converter exists.
bool encodeGb2312(const QString& text, QByteArray* out) {
    QStringEncoder encoder("GB2312");  // present where Qt carries the legacy codecs
    if (encoder.isValid()) {
        QByteArray bytes = encoder.encode(text);
        if (encoder.hasError()) return false;
        *out = bytes;
        return true;
    }
    iconv_t cd = iconv_open("GB2312", "UTF-8");
    if (cd == iconv_t(-1)) {
        qCWarning(lcCommon) << "no GB2312 converter";
        return false;
    }
    QByteArray in = text.toUtf8();
    QByteArray bytes(in.size() * 2 + 16, Qt::Uninitialized);
    char* inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char* outPtr = bytes.data();
    size_t outLeft = size_t(bytes.size());
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool ok = result != size_t(-1) && inLeft == 0;
    iconv_close(cd);
    if (!ok) return false;  // EILSEQ: a character GB2312 cannot hold
    bytes.truncate(int(bytes.size() - qsizetype(outLeft)));
    *out = bytes;
    return true;
}

bool writeInto(const QString& folder, const QString& fileName, const QByteArray& bytes,
               QString* path, QString* error) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    const QString target = QDir(folder).filePath(fileName);
    QSaveFile file(target);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1: %2").arg(target, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("%1: %2").arg(target, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (path) *path = target;
    return true;
}

}  // namespace

QString ComponentFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    return QCoreApplication::applicationDirPath();
}

void SetComponentFolder(const QString& folder) { folderOverride() = folder; }

QByteArray XmlFileBytes(const QString& xmlText) {
    static const QString gbHead = QStringLiteral("<?xml version='1.0' encoding='gb2312' ?> ");
    static const QString utf8Head = QStringLiteral("<?xml version='1.0' encoding='utf-8' ?> ");
    const QString line = xmlText + QLatin1Char('\n');
    QByteArray bytes;
    if (encodeGb2312(gbHead + line, &bytes)) return bytes;
    return (utf8Head + line).toUtf8();
}

bool WriteXmlFile(const QString& xmlText, const QString& fileName, QString* path, QString* error) {
    QString reason;
    const QString name = QFileInfo(fileName).fileName();  // never outside the folder
    if (name.isEmpty()) {
        reason = QStringLiteral("no file name");
        if (error) *error = reason;
        return false;
    }
    const QByteArray bytes = XmlFileBytes(xmlText);
    if (writeInto(ComponentFolder(), name, bytes, path, &reason)) return true;
    qCWarning(lcCommon).noquote() << "component folder not writable:" << reason;
    QString second;
    if (writeInto(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), name, bytes,
                  path, &second))
        return true;
    qCWarning(lcCommon).noquote() << "data folder not writable:" << second;
    if (error) *error = reason + QLatin1Char('\n') + second;
    return false;
}

}  // namespace userdef
