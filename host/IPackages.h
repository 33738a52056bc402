#pragma once
// Definition packages as the host writes them: one file with the chosen items, their value
// lists and the carry-over rules that involve them, read from the account a server service is
// connected to. Items are named by class and label, never by id.
#include <QList>
#include <QPair>
#include <QString>

namespace host {

class IClsCommon;

struct PackageChoice {
    enum Kind { All, Class, Items };
    Kind kind = All;
    QString cClass;                        // Class: the stored class value
    QList<QPair<QString, QString>> items;  // Items: class and label of each
};

class IPackages {
public:
    virtual ~IPackages() = default;
    // Writes the package of the choice to path, whole or not at all. False with the reason
    // otherwise; items and rules: what the file holds.
    virtual bool exportPackage(IClsCommon* srv, const PackageChoice& choice, const QString& path,
                               int* items, int* rules, QString* error) = 0;
};

}  // namespace host
