// Link values, hosts and directories as pages give them: resolution, the
// site tests, the address split of the client and the rules.

#include "scanner/httpfetch.h"
#include "scanner/linkrules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList parts = input.split(QLatin1Char('\n'));
    QString link = parts.value(0);
    const QString host = parts.value(1, QStringLiteral("partner.example"));
    const QString dir = parts.value(2, QStringLiteral("partner.example/dir/"));
    const QString main = parts.value(3, QStringLiteral("main.example"));

    tarnwick::getBaseDir(link);
    tarnwick::stripDomain(main);
    const QString resolved = tarnwick::resolveLink(link, host, dir);
    tarnwick::isSameSite(resolved, host);
    tarnwick::isDirectLink(resolved, main);
    tarnwick::isDomainLink(resolved, main);
    const tarnwick::PageAddress a = tarnwick::splitPageAddress(resolved);
    tarnwick::connectTargetOf(a.host);
    tarnwick::buildHttpRequest(a.host, a.path);
    const QList<tarnwick::Rule> rules = {{QStringLiteral("Global"), QStringLiteral("Global"),
                                          QStringLiteral("LimitDirectory"), parts.value(4)},
                                         {main, QStringLiteral("Global"), QStringLiteral("ExcludeRoot"), parts.value(5)}};
    tarnwick::checkRules(resolved, rules, main, host);
    tarnwick::linksExpectedOf(parts.value(6));
    return 0;
}
