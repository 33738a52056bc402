// Statements other than queries: INSERT, UPDATE, DELETE, TRUNCATE, CREATE, DROP, ALTER.
#include "platform/sql/Emitter.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql::detail {

namespace {

// A column type for SQLite DDL: "(max)" has no SQLite spelling, so the long kinds stand in.
QString ddlType(const QString& written) {
    const QString lower = written.toLower().remove(QLatin1Char(' '));
    if (!lower.endsWith(QLatin1String("(max)"))) return written;
    const QString base = lower.left(lower.size() - 5);
    if (base == QLatin1String("nvarchar")) return QStringLiteral("ntext");
    if (base == QLatin1String("varchar")) return QStringLiteral("text");
    if (base == QLatin1String("varbinary")) return QStringLiteral("image");
    return written;
}

}  // namespace

std::optional<QString> Emitter::statement(Span s, Translation* t) {
    const Node& first = s[0];
    if (first.group() || first.word("SELECT")) {
        t->returnsRows = true;
        const QString q = query(s);
        if (!ok()) return std::nullopt;
        return q;
    }
    const QString u = first.tok->upper;
    Out out;
    if (u == QLatin1String("INSERT")) {
        size_t i = 1;
        if (i < s.size() && s[i].word("INTO")) ++i;
        const Name n = readName(s, i);
        if (n.rest.isEmpty()) return fail(QStringLiteral("INSERT needs a table")), std::nullopt;
        out.add(QStringLiteral("INSERT INTO"));
        out.add(emitName(n));
        i += n.length;
        if (i < s.size() && s[i].group() && !(s[i].kids.size() && s[i].kids.front().word("SELECT"))) {
            out.add(QLatin1Char('(') + expr(spanOf(s[i].kids)) + QLatin1Char(')'));
            ++i;
        }
        if (i >= s.size()) return fail(QStringLiteral("INSERT needs VALUES or a SELECT")), std::nullopt;
        if (s[i].word("VALUES") || s[i].word("DEFAULT")) {
            out.add(expr(s.from(i)));
        } else if (s[i].word("SELECT") || s[i].group()) {
            out.add(query(s.from(i)));
        } else {
            return unsupported(QStringLiteral("INSERT … %1").arg(s[i].tok ? s[i].tok->upper : QStringLiteral("("))),
                   std::nullopt;
        }
    } else if (u == QLatin1String("UPDATE")) {
        for (size_t i = 1; i < s.size(); ++i) {
            if (s[i].word("FROM")) return unsupported(QStringLiteral("UPDATE … FROM")), std::nullopt;
            if (s[i].word("TOP")) return unsupported(QStringLiteral("UPDATE TOP")), std::nullopt;
        }
        out.add(expr(s));
    } else if (u == QLatin1String("DELETE")) {
        size_t i = 1;
        if (i < s.size() && s[i].word("TOP")) return unsupported(QStringLiteral("DELETE TOP")), std::nullopt;
        if (i < s.size() && s[i].word("FROM")) ++i;
        for (size_t k = i; k < s.size(); ++k)
            if (s[k].word("FROM") || s[k].word("JOIN"))
                return unsupported(QStringLiteral("DELETE … FROM … JOIN")), std::nullopt;
        out.add(QStringLiteral("DELETE FROM"));
        out.add(expr(s.from(i)));
    } else if (u == QLatin1String("TRUNCATE")) {
        if (s.size() < 3 || !s[1].word("TABLE")) return unsupported(QStringLiteral("TRUNCATE")), std::nullopt;
        out.add(QStringLiteral("DELETE FROM"));
        out.add(expr(s.from(2)));
    } else if (u == QLatin1String("CREATE")) {
        t->changesSchema = true;
        size_t i = 1;
        m_ddl = !(i < s.size() && s[i].word("VIEW"));
        if (i < s.size() && s[i].word("TABLE")) {
            const Name n = readName(s, i + 1);
            if (n.rest.size() != 1) return fail(QStringLiteral("CREATE TABLE needs a table name")), std::nullopt;
            i += 1 + n.length;
            if (i >= s.size() || !s[i].group() || i + 1 != s.size())
                return unsupported(QStringLiteral("CREATE TABLE without a column list")), std::nullopt;
            out.add(n.schema == QLatin1String("temp") ? QStringLiteral("CREATE TEMP TABLE")
                                                       : QStringLiteral("CREATE TABLE"));
            Name plain = n;
            if (plain.schema == QLatin1String("temp")) plain.schema.clear();
            out.add(emitName(plain));
            QStringList defs;
            for (const Span& d : splitTop(spanOf(s[i].kids), ",")) {
                if (d.empty()) return fail(QStringLiteral("an empty column in CREATE TABLE")), std::nullopt;
                if (isKeyword(d[0])) {
                    defs << expr(d);
                    continue;
                }
                if (!(d[0].kind(TokenKind::Word) || d[0].kind(TokenKind::Ident)) || d.size() < 2 ||
                    !d[1].kind(TokenKind::Word))
                    return fail(QStringLiteral("a column needs a name and a type")), std::nullopt;
                if (unsupportedWords().contains(d[1].tok->upper))
                    return unsupported(d[1].tok->upper), std::nullopt;
                size_t k = 2;
                QString type = d[1].tok->text;
                if (k < d.size() && d[k].group()) {
                    QStringList args;
                    for (const Node& a : d[k].kids) args << (a.tok ? a.tok->text : QString());
                    type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
                    ++k;
                }
                if (!TypeInfo::of(type).known) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
                QString def = sqliteIdent(d[0].tok->text) + QLatin1Char(' ') + ddlType(type);
                bool collate = false;
                for (size_t x = k; x < d.size(); ++x)
                    if (d[x].word("COLLATE")) collate = true;
                if (TypeInfo::of(type).text && !collate) def += QStringLiteral(" COLLATE NOCASE");
                if (k < d.size()) def += QLatin1Char(' ') + expr(d.from(k));
                defs << def;
            }
            out.addGlued(QLatin1Char('(') + defs.join(QStringLiteral(", ")) + QLatin1Char(')'));
        } else if (i < s.size() && s[i].word("VIEW")) {
            const Name n = readName(s, i + 1);
            i += 1 + n.length;
            if (n.rest.size() != 1 || i >= s.size() || !s[i].word("AS"))
                return unsupported(QStringLiteral("CREATE VIEW")), std::nullopt;
            out.add(QStringLiteral("CREATE VIEW"));
            out.add(emitName(n));
            out.add(QStringLiteral("AS"));
            out.add(query(s.from(i + 1)));
        } else {
            bool index = false;
            for (size_t k = 1; k < s.size() && k < 4; ++k)
                if (s[k].word("INDEX")) index = true;
            if (!index)
                return unsupported(QStringLiteral("CREATE %1").arg(i < s.size() && s[i].tok ? s[i].tok->upper : QString())),
                       std::nullopt;
            out.add(QStringLiteral("CREATE"));
            for (size_t k = 1; k < s.size(); ++k) {
                if (s[k].word("CLUSTERED") || s[k].word("NONCLUSTERED")) continue;
                out.add(expr(s.from(k)));
                break;
            }
        }
    } else if (u == QLatin1String("DROP")) {
        t->changesSchema = true;
        if (s.size() < 3 || !(s[1].word("TABLE") || s[1].word("VIEW") || s[1].word("INDEX")))
            return unsupported(QStringLiteral("DROP %1").arg(s.size() > 1 && s[1].tok ? s[1].tok->upper : QString())),
                   std::nullopt;
        out.add(QStringLiteral("DROP"));
        out.add(s[1].tok->upper);
        size_t i = 2;
        if (i + 1 < s.size() && s[i].word("IF") && s[i + 1].word("EXISTS")) {
            out.add(QStringLiteral("IF EXISTS"));
            i += 2;
        }
        const Name n = readName(s, i);
        if (n.rest.size() != 1 || i + n.length != s.size())
            return unsupported(QStringLiteral("DROP of several objects or of %1").arg(n.parts.join('.'))),
                   std::nullopt;
        out.add(emitName(n));
    } else if (u == QLatin1String("ALTER")) {
        t->changesSchema = true;
        m_ddl = true;
        if (s.size() < 5 || !s[1].word("TABLE")) return unsupported(QStringLiteral("ALTER")), std::nullopt;
        const Name n = readName(s, 2);
        size_t i = 2 + n.length;
        out.add(QStringLiteral("ALTER TABLE"));
        out.add(emitName(n));
        if (i < s.size() && s[i].word("ADD")) {
            ++i;
            if (i < s.size() && s[i].word("COLUMN")) ++i;
            if (i + 1 >= s.size()) return fail(QStringLiteral("ALTER TABLE ADD needs a column")), std::nullopt;
            for (size_t k = i; k < s.size(); ++k)
                if (s[k].symbol(",")) return unsupported(QStringLiteral("ALTER TABLE ADD of several columns")), std::nullopt;
            QString type = s[i + 1].tok ? s[i + 1].tok->text : QString();
            size_t k = i + 2;
            if (k < s.size() && s[k].group()) {
                QStringList args;
                for (const Node& a : s[k].kids) args << (a.tok ? a.tok->text : QString());
                type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
                ++k;
            }
            if (!TypeInfo::of(type).known) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
            QString def = QStringLiteral("ADD COLUMN ") + sqliteIdent(s[i].tok->text) + QLatin1Char(' ') + ddlType(type);
            if (TypeInfo::of(type).text) def += QStringLiteral(" COLLATE NOCASE");
            out.add(def);
            if (k < s.size()) out.add(expr(s.from(k)));
        } else if (i + 1 < s.size() && s[i].word("DROP") && s[i + 1].word("COLUMN")) {
            out.add(QStringLiteral("DROP COLUMN"));
            out.add(expr(s.from(i + 2)));
        } else {
            return unsupported(QStringLiteral("ALTER TABLE %1").arg(i < s.size() && s[i].tok ? s[i].tok->upper : QString())),
                   std::nullopt;
        }
    } else {
        return unsupported(u), std::nullopt;
    }
    if (!ok()) return std::nullopt;
    return out.text();
}

}  // namespace platform::sql::detail
