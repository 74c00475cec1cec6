#include "platform/Cp936.h"

#include <QList>

#include <iconv.h>

#include <array>
#include <memory>

namespace kelpo::cp936 {

namespace {

constexpr char16_t Replacement = u'?';

// Both directions as flat tables, built once from the C library's converter.
struct Tables {
    // Indexed by (lead - 0x81) * 256 + trail; 0 = no character.
    std::array<char16_t, 126 * 256> decode{};
    // Indexed by UTF-16 code unit; 0 = not representable.
    std::array<std::uint16_t, 65536> encode{};
};

const Tables& tables()
{
    static const std::unique_ptr<Tables> t = [] {
        auto result = std::make_unique<Tables>();
        iconv_t cd = iconv_open("UTF-16LE", "CP936");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return result;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                unsigned char out[8] = {};
                char* ip = in;
                char* op = reinterpret_cast<char*>(out);
                size_t inLeft = 2;
                size_t outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &ip, &inLeft, &op, &outLeft) == static_cast<size_t>(-1) || inLeft != 0
                    || sizeof out - outLeft != 2)
                    continue;
                const char16_t u = static_cast<char16_t>(out[0] | (out[1] << 8));
                // The user-defined areas have no agreed characters.
                if (u < 0x80 || (u >= 0xE000 && u <= 0xF8FF))
                    continue;
                result->decode[static_cast<std::size_t>((lead - 0x81) * 256 + trail)] = u;
                if (result->encode[u] == 0)
                    result->encode[u] = static_cast<std::uint16_t>(lead * 256 + trail);
            }
        }
        iconv_close(cd);
        return result;
    }();
    return *t;
}

} // namespace

std::uint16_t CharCode(char32_t ch)
{
    if (ch < 0x80)
        return static_cast<std::uint16_t>(ch);
    if (ch > 0xFFFF)
        return Replacement;
    const std::uint16_t code = tables().encode[ch];
    return code != 0 ? code : Replacement;
}

QChar PairChar(std::uint8_t lead, std::uint8_t trail)
{
    if (lead < 0x81 || lead > 0xFE)
        return QChar(Replacement);
    const char16_t u = tables().decode[static_cast<std::size_t>((lead - 0x81) * 256 + trail)];
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
