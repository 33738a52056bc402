#include "tests/support/HostileTexts.h"

namespace testsupport {

QStringList hostileTexts(int maxLength) {
    static const QStringList all = {
        QStringLiteral("O'Brien"),
        QStringLiteral("''"),
        QStringLiteral("x' or '1'='1"),
        QStringLiteral("'); DELETE FROM Userdefine; --"),
        QStringLiteral("a -- b"),
        QStringLiteral("a;b; select 1"),
        QStringLiteral("\"quoted\" and N'nested'"),
        QStringLiteral("<b>&amp;</b> & < > &#x41;"),
        QStringLiteral("]]> <![CDATA[ x ]]>"),
        QStringLiteral("[bracket]] ] 100%_like \\ @v #t"),
        QString::fromUtf8("\xF0\x9F\x98\x80 \xF0\xA0\xAE\xB7 中文，全角"),  // U+1F600, U+20BB7
        QStringLiteral("tab\there, line\nfeed, carriage\rreturn\r\n"),
        QStringLiteral("  blanks around  "),
        // In the BMP so that any cut keeps whole characters; every stretch holds quotes, a
        // comment, a statement end and markup.
        QStringLiteral("中'\"--;<&]]>").repeated(364).left(4000),
    };
    if (maxLength < 0) return all;
    QStringList out;
    for (const QString& text : all) {
        QString cut = text.left(maxLength);
        if (!cut.isEmpty() && cut.back().isHighSurrogate()) cut.chop(1);
        if (!cut.isEmpty() && !out.contains(cut)) out << cut;
    }
    return out;
}

QStringList controlTexts() {
    QStringList out;
    for (const char16_t c : {u'\x00', u'\x01', u'\x08', u'\x0B', u'\x0C', u'\x1B', u'\x1F'})
        out << QStringLiteral("before") + QChar(c) + QStringLiteral("after");
    return out;
}

std::string traceText(const QString& text, int most) {
    QString shown;
    for (const QChar ch : text.left(most)) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += ch;
    }
    if (text.size() > most) shown += QStringLiteral("… (%1 characters)").arg(text.size());
    return shown.toStdString();
}

}  // namespace testsupport
