#include "tests/support/HostileTexts.h"

namespace testsupport {

namespace {

// 4,000 characters, all in the BMP so that any cut keeps whole characters; every stretch of it
// still holds quotes, a comment, a statement end and markup.
QString longText() {
    const QString piece = QStringLiteral("中'\"--;<&]]>");  // 11 characters
    QString text;
    while (text.size() < 4000) text += piece;
    return text.left(4000);
}

}  // namespace

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
        longText(),
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

std::string traceText(const QString& text) {
    QString shown;
    for (const QChar ch : text.left(60)) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            shown += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += ch;
    }
    if (text.size() > 60) shown += QStringLiteral("… (%1 characters)").arg(text.size());
    return shown.toStdString();
}

}  // namespace testsupport
