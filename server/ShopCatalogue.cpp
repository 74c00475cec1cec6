#include "server/ShopCatalogue.h"

#include "net/FrameCodec.h"
#include "platform/Cp936.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <limits>

namespace kelpo::server {

namespace {

// A catalogue file is a few lines a host wrote; anything far bigger is a
// wrong file.
constexpr qint64 MaxFileBytes = 1024 * 1024;
constexpr int ItemFields = 10;
// About 114 years: a lot bought now must expire within the four-digit years
// the accounts store expiries in, or it is paid for and never held.
constexpr int MaxValidHours = 1000000;
// The shop window has room for eight tabs; a further type would be sold in
// none of them.
constexpr int MaxTypes = 8;

// Names travel as back-quote separated fields in code page 936.
QString NameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("the name is empty");
    if (name.contains(u'`'))
        return QStringLiteral("a name may not hold a back-quote");
    if (name.size() > 32)
        return QStringLiteral("a name is at most 32 characters");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("a name may not hold control characters");
        if (c != u'?' && cp936::CharCode(c.unicode()) == '?')
            return QStringLiteral("\"%1\" cannot be sent in code page 936").arg(c);
    }
    return {};
}

bool ReadNumber(const QString& text, int lo, int& out, int hi = std::numeric_limits<int>::max())
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

} // namespace

const CatalogueItem* ShopCatalogue::find(int id) const
{
    for (const CatalogueItem& item : items)
        if (item.id == id)
            return &item;
    return nullptr;
}

QString ShopCatalogue::text() const
{
    QStringList f;
    f << QString::number(types.size());
    f << types;
    f << QString::number(items.size());
    for (const CatalogueItem& i : items)
        f << QString::number(i.id) << QString::number(i.type) << i.name << QString::number(i.pieces)
          << QString::number(i.validHours) << QString::number(i.price) << QString::number(i.nowPrice)
          << QString::number(i.memberPrice) << QString::number(i.memberNowPrice) << QString(i.useSelf ? u'1' : u'0');
    return f.join(u'`');
}

LoadedCatalogue ParseCatalogue(const QString& text, const QString& fileName)
{
    LoadedCatalogue result;
    ShopCatalogue c;
    QSet<int> ids;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        auto fail = [&](const QString& what) {
            result.error = QStringLiteral("%1:%2: %3").arg(fileName).arg(n + 1).arg(what);
            return result;
        };
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype space = line.indexOf(u' ');
        const QString word = line.left(space < 0 ? line.size() : space);
        const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
        if (word == u"type") {
            if (const QString problem = NameProblem(rest); !problem.isEmpty())
                return fail(QStringLiteral("type: %1").arg(problem));
            if (c.types.contains(rest))
                return fail(QStringLiteral("type \"%1\" is declared twice").arg(rest));
            if (c.types.size() == MaxTypes)
                return fail(QStringLiteral("at most %1 types: the shop shows no more tabs").arg(MaxTypes));
            c.types << rest;
            continue;
        }
        if (word != u"item")
            return fail(QStringLiteral("a line starts with \"type\" or \"item\", not \"%1\"").arg(word));
        QStringList f = rest.split(u'|');
        for (QString& s : f)
            s = s.trimmed();
        if (f.size() != ItemFields)
            return fail(QStringLiteral("an item has %1 fields separated by |, this one has %2")
                            .arg(ItemFields)
                            .arg(f.size()));
        CatalogueItem item;
        if (!ReadNumber(f[0], 1, item.id))
            return fail(QStringLiteral("the item id \"%1\" is not a whole number from 1").arg(f[0]));
        if (ids.contains(item.id))
            return fail(QStringLiteral("item id %1 is used twice").arg(item.id));
        item.type = static_cast<int>(c.types.indexOf(f[1]));
        if (item.type < 0)
            return fail(QStringLiteral("type \"%1\" is not declared above").arg(f[1]));
        if (const QString problem = NameProblem(f[2]); !problem.isEmpty())
            return fail(QStringLiteral("item name: %1").arg(problem));
        item.name = f[2];
        if (!ReadNumber(f[3], 1, item.pieces))
            return fail(QStringLiteral("pieces \"%1\" is not a whole number from 1").arg(f[3]));
        if (!ReadNumber(f[4], 1, item.validHours, MaxValidHours))
            return fail(QStringLiteral("hours \"%1\" is not a whole number from 1 to %2").arg(f[4]).arg(MaxValidHours));
        int* prices[] = {&item.price, &item.nowPrice, &item.memberPrice, &item.memberNowPrice};
        for (int k = 0; k < 4; ++k)
            if (!ReadNumber(f[5 + k], 0, *prices[k]))
                return fail(QStringLiteral("price \"%1\" is not a whole number from 0").arg(f[5 + k]));
        if (f[9] != u"self" && f[9] != u"other")
            return fail(QStringLiteral("the last field is \"self\" or \"other\", not \"%1\"").arg(f[9]));
        item.useSelf = f[9] == u"self";
        ids.insert(item.id);
        c.items.push_back(item);
    }
    // The whole catalogue goes out as one message.
    if (cp936::Encode(c.text()).size() + 2 > static_cast<qsizetype>(MaxFrameLength)) {
        result.error = QStringLiteral("%1: the catalogue is too long for one message").arg(fileName);
        return result;
    }
    result.catalogue = std::move(c);
    return result;
}

LoadedCatalogue LoadCatalogueFile(const QString& path)
{
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("%1: %2").arg(path, file.errorString())};
    if (file.size() > MaxFileBytes)
        return {std::nullopt, QStringLiteral("%1: larger than %2 bytes").arg(path).arg(MaxFileBytes)};
    return ParseCatalogue(QString::fromUtf8(file.readAll()), name);
}

} // namespace kelpo::server
