#include "workspace/results.h"

#include <QPainter>
#include <QPixmap>
#include "workspace/fieldtext.h"

namespace tarnwick {

namespace {
const QString kDirectLink = QStringLiteral("Direct Link");
const QString kDomainLink = QStringLiteral("Domain Link");
const QString kRedirectLink = QStringLiteral("Redirect Link");
const QString kNoneFound = QStringLiteral("None Found");

ResultRow row(const QString &main, const QString &linking, const QString &status, const QString &number,
              const QString &linkUrl, bool isLink)
{
    ResultRow r;
    r.main = main;
    r.linking = linking;
    r.status = status;
    r.number = number;
    r.linkUrl = linkUrl;
    r.icon = isLink ? kIconLink : kIconNoLink;
    r.colour = isLink ? platform::kColorBlue : platform::kColorRed;
    return r;
}

QIcon drawResultIcon(bool link)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(link ? QColor(0x2b, 0x6a, 0x96) : QColor(0xc0, 0x39, 0x2b));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (link) {
        p.drawPolyline(QPolygonF({QPointF(4.5, 8.5), QPointF(7, 11), QPointF(11.5, 5.5)}));
    } else {
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    }
    p.end();
    return QIcon(pix);
}
} // namespace

QString zeroFilled(qint64 n)
{
    const QString digits = QString::number(n);
    if (n < 0)
        return QLatin1Char('-') + digits.mid(1).rightJustified(3, QLatin1Char('0'));
    return digits.rightJustified(3, QLatin1Char('0'));
}

QString noneFoundStatus(const QString &note)
{
    if (note.isEmpty() || note == QLatin1String(" "))
        return kNoneFound;
    return kNoneFound + QStringLiteral(" (") + note + QLatin1Char(')');
}

QString missingStatus(qint64 missing)
{
    return QStringLiteral("Missing ") + zeroFilled(missing);
}

ResultRow directLinkRow(const QString &main, const QString &linking, qint64 number, const QString &foundOn)
{
    return row(main, linking, kDirectLink, zeroFilled(number), foundOn, true);
}

ResultRow domainLinkRow(const QString &main, const QString &linking, qint64 number, const QString &foundOn)
{
    return row(main, linking, kDomainLink, zeroFilled(number), foundOn, true);
}

ResultRow redirectLinkRow(const QString &main, const QString &linking, const QString &redirectUrl)
{
    return row(main, linking, kRedirectLink, zeroFilled(1), redirectUrl, true);
}

ResultRow noneFoundRow(const QString &main, const QString &linking, const QString &note, const QString &linkingSite)
{
    return row(main, linking, noneFoundStatus(note), zeroFilled(0), linkingSite, false);
}

ResultRow missingRow(const QString &main, const QString &linking, qint64 missing, const QString &lastPage)
{
    return row(main, linking, missingStatus(missing), zeroFilled(0), lastPage, false);
}

int addResultRow(platform::ListView &list, const ResultRow &r)
{
    return list.add(storedField(r.main),
                    {storedField(r.linking), storedField(r.status), storedField(r.number), storedField(r.linkUrl)},
                    r.icon, r.colour);
}

ResultRow resultRow(const platform::ListView &list, int n)
{
    ResultRow r;
    if (!list.isValidRow(n))
        return r;
    r.main = list.text(n);
    r.linking = list.subItem(n, kColLinking - 1);
    r.status = list.subItem(n, kColStatus - 1);
    r.number = list.subItem(n, kColNumber - 1);
    r.linkUrl = list.subItem(n, kColLinkUrl - 1);
    r.icon = list.smallIcon(n);
    r.colour = list.foreColor(n);
    return r;
}

int addErrorRow(platform::ListView &list, const ErrorListRow &r)
{
    return list.add(r.error, {r.url});
}

ErrorListRow errorRow(const platform::ListView &list, int n)
{
    if (!list.isValidRow(n))
        return {};
    return {list.text(n), list.subItem(n, 1)};
}

bool markResultRow(platform::ListView &list, int n, bool found)
{
    if (!list.isValidRow(n))
        return false;
    list.setSubItem(n, kColStatus - 1, found ? kDirectLink : kNoneFound);
    list.setForeColor(n, found ? platform::kColorBlue : platform::kColorRed);
    list.setSmallIcon(n, found ? kIconLink : kIconNoLink);
    return true;
}

bool statusCountsAsLink(const QString &status)
{
    const qsizetype note = status.indexOf(QStringLiteral(" ("));
    const QStringView head = note < 0 ? QStringView(status) : QStringView(status).left(note);
    return head.contains(QLatin1String("direct"), Qt::CaseInsensitive);
}

QVector<ResultRow> resultRowsAsWritten(const platform::ListView &list)
{
    QVector<ResultRow> out;
    const QVector<const platform::ListItem *> rows = list.rowsInAddedOrder();
    out.reserve(rows.size());
    for (const platform::ListItem *it : rows)
        out.append(ResultRow{it->smallIcon, it->text, it->subItem(kColLinking - 1), it->subItem(kColStatus - 1),
                             it->subItem(kColNumber - 1), it->subItem(kColLinkUrl - 1), it->foreColor});
    return out;
}

QVector<QIcon> resultIcons()
{
    return {drawResultIcon(false), drawResultIcon(true)};
}

} // namespace tarnwick
