#include "platform/db/Collation.h"

#include <sqlite3.h>

#include <QCollator>
#include <QCollatorSortKey>
#include <QHash>
#include <QLocale>
#include <QString>
#include <algorithm>

namespace platform::db {

namespace {

int folded(uchar c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

// NOCASE as SQLite defines it: bytes compared with ASCII letters folded.
int foldedCompare(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = folded(uchar(a[i])) - folded(uchar(b[i]));
        if (d != 0) return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool isAlphanumeric(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// The Chinese collation without case, with the sort keys of the texts it met. Keys are kept
// because a sort or an index search meets the same texts again and again.
class TextOrder {
public:
    TextOrder() : m_collator(QLocale(QLocale::Chinese, QLocale::China)) {
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

    int compare(QByteArrayView a, QByteArrayView b) {
        if (a.size() == b.size() && foldedCompare(a, b) == 0) return 0;
        // Letters and digits alone order the same in both: digits first, letters by alphabet.
        if (isAlphanumeric(a) && isAlphanumeric(b)) return foldedCompare(a, b);
        // A copy: finding the second key may grow or clear the cache the first one lives in.
        const QCollatorSortKey first = key(a);
        const int order = first.compare(key(b));
        return order != 0 ? order : foldedCompare(a, b);
    }

private:
    const QCollatorSortKey& key(QByteArrayView text) {
        const QByteArray probe = QByteArray::fromRawData(text.data(), text.size());
        auto it = m_keys.constFind(probe);
        if (it != m_keys.constEnd()) return *it;
        if (m_keys.size() >= kMaxKeys) m_keys.clear();
        return *m_keys.insert(text.toByteArray(), m_collator.sortKey(QString::fromUtf8(text)));
    }

    static constexpr qsizetype kMaxKeys = 50000;
    QCollator m_collator;
    QHash<QByteArray, QCollatorSortKey> m_keys;
};

int collate(void* order, int aBytes, const void* a, int bBytes, const void* b) {
    const int r = static_cast<TextOrder*>(order)->compare(
        QByteArrayView(static_cast<const char*>(a), aBytes),
        QByteArrayView(static_cast<const char*>(b), bBytes));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

}  // namespace

bool installTextCollation(sqlite3* db) {
    auto* order = new TextOrder;
    return sqlite3_create_collation_v2(db, kTextOrder, SQLITE_UTF8, order, collate,
                                       [](void* p) { delete static_cast<TextOrder*>(p); }) ==
           SQLITE_OK;
}

int compareText(QByteArrayView a, QByteArrayView b) {
    static TextOrder order;
    return order.compare(a, b);
}

}  // namespace platform::db
