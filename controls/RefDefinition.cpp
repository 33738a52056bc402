#include "controls/RefDefinition.h"

#include <QDomDocument>
#include <QRegularExpression>

namespace controls {

namespace {

bool sameName(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

QString attr(const QDomElement& e, const char* name) {
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr a = attrs.item(i).toAttr();
        if (sameName(a.name(), name)) return a.value();
    }
    return {};
}

QDomElement firstDescendant(const QDomElement& from, const char* name) {
    for (QDomElement c = from.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        if (sameName(c.tagName(), name)) return c;
        const QDomElement d = firstDescendant(c, name);
        if (!d.isNull()) return d;
    }
    return {};
}

void collectColumns(const QDomElement& from, QVector<RefColumn>& out) {
    for (QDomElement c = from.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        const QString field = attr(c, "cFld").trimmed();
        if (!field.isEmpty()) {
            RefColumn col;
            col.field = field;
            col.caption = attr(c, "cCaption").trimmed();
            if (col.caption.isEmpty()) col.caption = field;
            col.shown =
                attr(c, "bDisp").trimmed() != QLatin1String("0") &&
                attr(c, "bDisp").trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive) !=
                    0;
            col.widthTwips = qMax(0, attr(c, "iColWidth").trimmed().toInt());
            col.align = attr(c, "iAlign").trimmed().toInt();
            out.append(col);
        }
        collectColumns(c, out);
    }
}

bool flag(const QString& value) {
    const QString v = value.trimmed();
    return v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool entityAt(const QString& s, qsizetype i) {
    static const QRegularExpression entity(
        QStringLiteral("\\G&(#[0-9]+|#x[0-9A-Fa-f]+|[A-Za-z_][A-Za-z0-9_.-]*);"));
    return entity
        .match(s, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption)
        .hasMatch();
}

// Escapes what hand-joined definitions typically get wrong: a bare '&' anywhere, a '<' inside
// an attribute value, and a '<' in text that cannot start a tag (as in "a<>b").
QString repaired(const QString& s) {
    QString out;
    out.reserve(s.size() + 16);
    bool inTag = false;
    QChar quote;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            if (c == QLatin1Char('<'))
                out += QLatin1String("&lt;");
            else if (c == QLatin1Char('&') && !entityAt(s, i))
                out += QLatin1String("&amp;");
            else
                out += c;
        } else if (inTag) {
            if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
                quote = c;
            else if (c == QLatin1Char('>'))
                inTag = false;
            out += c;
        } else if (c == QLatin1Char('<')) {
            const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
            if (next.isLetter() || next == QLatin1Char('/') || next == QLatin1Char('?') ||
                next == QLatin1Char('!') || next == QLatin1Char('_')) {
                inTag = true;
                out += c;
            } else {
                out += QLatin1String("&lt;");
            }
        } else if (c == QLatin1Char('&') && !entityAt(s, i)) {
            out += QLatin1String("&amp;");
        } else {
            out += c;
        }
    }
    return out;
}

// True when `sql` has a WHERE outside parentheses and string literals.
bool hasTopLevelWhere(const QString& sql) {
    int depth = 0;
    bool inString = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (inString) {
            if (c == QLatin1Char('\'')) inString = false;
            continue;
        }
        if (c == QLatin1Char('\''))
            inString = true;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (depth == 0 && (c == QLatin1Char('w') || c == QLatin1Char('W')) &&
                 sql.mid(i, 5).compare(QLatin1String("where"), Qt::CaseInsensitive) == 0) {
            const bool startOk =
                i == 0 || !(sql.at(i - 1).isLetterOrNumber() || sql.at(i - 1) == QLatin1Char('_'));
            const bool endOk = i + 5 >= sql.size() || !(sql.at(i + 5).isLetterOrNumber() ||
                                                        sql.at(i + 5) == QLatin1Char('_'));
            if (startOk && endOk) return true;
        }
    }
    return false;
}

// A condition without a leading WHERE or AND keyword.
QString bareCondition(QString text) {
    static const QRegularExpression lead(QStringLiteral("^\\s*(where|and)\\s+"),
                                         QRegularExpression::CaseInsensitiveOption);
    text.remove(lead);
    return text.trimmed();
}

}  // namespace

bool RefDefinition::parse(const QString& xml) {
    *this = RefDefinition();
    if (xml.trimmed().isEmpty()) {
        m_error = QStringLiteral("The reference definition is empty.");
        return false;
    }
    QDomDocument doc;
    QString message;
    int line = 0, column = 0;
    if (!doc.setContent(xml, false, &message, &line, &column)) {
        QDomDocument second;
        if (!second.setContent(repaired(xml), false)) {
            m_error = QStringLiteral(
                          "The reference definition is not valid XML: %1 (line %2, column %3).")
                          .arg(message)
                          .arg(line)
                          .arg(column);
            return false;
        }
        doc = second;
    }
    QDomElement ref = doc.documentElement();
    if (!sameName(ref.tagName(), "Ref")) ref = firstDescendant(ref, "Ref");
    if (ref.isNull()) {
        m_error = QStringLiteral("The reference definition has no <Ref> element.");
        return false;
    }
    m_refName = attr(ref, "cRefName").trimmed();
    m_entityKeyFld = attr(ref, "cEntityKeyFld").trimmed();
    m_entityNameFld = attr(ref, "cEntityNameFld").trimmed();

    const QDomElement set = firstDescendant(ref, "RefSet");
    if (!set.isNull()) {
        m_multiSel = flag(attr(set, "bMultiSel"));
        m_retFld = attr(set, "cRetFld").trimmed();
        m_showFld = attr(set, "cShowFld").trimmed();
        for (const QString& f : attr(set, "cCheckFlds").split(QLatin1Char(',')))
            if (!f.trimmed().isEmpty()) m_checkFlds.append(f.trimmed());
    }
    const QDomElement src = firstDescendant(ref, "DataSrc");
    const QDomElement grid =
        src.isNull() ? firstDescendant(ref, "DataGrid") : firstDescendant(src, "DataGrid");
    if (!grid.isNull()) {
        m_select = attr(grid, "cUserDataSrcQrySelectPart").trimmed();
        m_where = attr(grid, "cUserDataSrcQryWherePart").trimmed();
        m_order = attr(grid, "cUserDataSrcQryOrderPart").trimmed();
    }
    const QDomElement conditions = firstDescendant(ref, "RefConditions");
    if (!conditions.isNull()) {
        const QDomElement sql = firstDescendant(conditions, "sql");
        m_conditionSql = (sql.isNull() ? conditions.text() : sql.text()).trimmed();
    }
    const QDomElement colSet = firstDescendant(ref, "RefColSet");
    if (!colSet.isNull()) collectColumns(colSet, m_columns);
    return true;
}

QString RefDefinition::statement() const {
    QString sql = m_select.trimmed();
    if (sql.isEmpty()) return {};
    QStringList conditions;
    for (const QString& c : {bareCondition(m_where), bareCondition(m_conditionSql)})
        if (!c.isEmpty()) conditions.append(QLatin1Char('(') + c + QLatin1Char(')'));
    if (!conditions.isEmpty())
        sql += (hasTopLevelWhere(sql) ? QLatin1String(" AND ") : QLatin1String(" WHERE ")) +
               conditions.join(QLatin1String(" AND "));
    QString order = m_order.trimmed();
    if (!order.isEmpty()) {
        static const QRegularExpression orderBy(QStringLiteral("^order\\s+by\\s"),
                                                QRegularExpression::CaseInsensitiveOption);
        if (!orderBy.match(order).hasMatch()) order.prepend(QLatin1String("ORDER BY "));
        sql += QLatin1Char(' ') + order;
    }
    return sql;
}

}  // namespace controls
