#pragma once
// The XML file the component writes: the debug copy of a document.
#include <QByteArray>
#include <QString>

namespace userdef {

// Writes "<?xml version='1.0' encoding='gb2312' ?> " and the text, as one line ended by a line
// break, into fileName in the component's folder, replacing the file. The bytes follow the
// declared encoding; text that GB2312 cannot hold is written as UTF-8 under a utf-8
// declaration. When the component's folder is not writable the file goes to the per-user data
// folder. Returns false with a reason in error when neither can be written; path receives the
// file written.
bool WriteXmlFile(const QString& xmlText, const QString& fileName, QString* path = nullptr,
                  QString* error = nullptr);

// The component's folder (the executable's folder unless set); an empty folder restores it.
QString ComponentFolder();
void SetComponentFolder(const QString& folder);

// The bytes WriteXmlFile writes for a text: declaration, text, line break.
QByteArray XmlFileBytes(const QString& xmlText);

}  // namespace userdef
