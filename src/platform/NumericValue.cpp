#include "platform/NumericValue.h"

#include <QString>

namespace kelpo {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

double NumericValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;

    QString number;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            number.append(u'-');
        ++i;
    }
    // Leading zeros carry nothing and would only lengthen the text handed on.
    bool anyDigit = false;
    while (i < n && text[i] == u'0') {
        anyDigit = true;
        ++i;
    }
    qsizetype intDigits = 0;
    while (i < n && isDigit(text[i])) {
        number.append(text[i++]);
        ++intDigits;
        anyDigit = true;
    }
    if (intDigits == 0)
        number.append(u'0');
    if (i < n && text[i] == u'.') {
        ++i;
        number.append(u'.');
        while (i < n && isDigit(text[i])) {
            number.append(text[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0.0;
    // Far past any target's range; the converters clamp it.
    if (intDigits > 300)
        return number.startsWith(u'-') ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace kelpo
