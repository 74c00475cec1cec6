#include "platform/Cp936.h"

#include "platform/Cp936Tables.h"

#include <QList>

namespace kelpo::cp936 {

namespace {

constexpr char16_t Replacement = u'?';

} // namespace

std::uint16_t CharCode(char32_t ch)
{
    if (ch < 0x80)
        return static_cast<std::uint16_t>(ch);
    if (ch > 0xFFFF)
        return Replacement;
    const unsigned row = EncodeRowOf[ch >> 8];
    const std::uint16_t code = row != 0 ? EncodeRows[(row - 1) * 256 + (ch & 0xFF)] : 0;
    return code != 0 ? code : Replacement;
}

QChar PairChar(std::uint8_t lead, std::uint8_t trail)
{
    if (lead < TableFirstLead || lead > TableLastLead || trail < TableFirstTrail || trail > TableLastTrail)
        return QChar(Replacement);
    const char16_t u = DecodeTable[(lead - TableFirstLead) * TableTrails + (trail - TableFirstTrail)];
    return QChar(u != 0 ? u : Replacement);
}

QByteArray Encode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (char32_t ch : text.toUcs4()) {
        const std::uint16_t code = CharCode(ch);
        if (code < 0x100) {
            out.append(static_cast<char>(code));
        } else {
            out.append(static_cast<char>(code >> 8));
            out.append(static_cast<char>(code & 0xFF));
        }
    }
    return out;
}

QString Decode(const QByteArray& bytes, qsizetype start)
{
    QString text;
    if (start < 0 || start >= bytes.size())
        return text;
    text.reserve(bytes.size() - start);
    for (qsizetype i = start; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (!IsLeadByte(b)) {
            text.append(QChar(b));
            continue;
        }
        if (i + 1 >= bytes.size())
            return QString();
        text.append(PairChar(b, static_cast<std::uint8_t>(bytes[++i])));
    }
    return text;
}

} // namespace kelpo::cp936
