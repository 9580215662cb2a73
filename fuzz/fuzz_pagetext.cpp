// Pages of partner sites: notes, the "href=" normalisation, the lines, the
// link values and the examination of every line with rules in force.

#include "platform/services.h"
#include "scanner/pagetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = platform::decodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    tarnwick::pageStatusNotes(page, QStringLiteral("main.example"));
    const QString normalized = tarnwick::normalizeHrefs(page);
    tarnwick::singleLineText(normalized);

    tarnwick::LinkContext lc;
    lc.mainSite = QStringLiteral("main.example");
    lc.curUrl = QStringLiteral("partner.example/dir/page.htm");
    lc.curDir = QStringLiteral("partner.example/dir/");
    lc.sockHost = QStringLiteral("partner.example");
    lc.mainSiteText = QStringLiteral("http://www.main.example/");
    lc.linkingSiteRow = QStringLiteral("partner.example/links.htm");
    lc.fileTypes = {QStringLiteral(".htm"), QStringLiteral(".php")};
    lc.rules = {{QStringLiteral("Global"), QStringLiteral("Global"), QStringLiteral("ExcludeDirectory"),
                 QStringLiteral("private")},
                {QStringLiteral("Global"), QStringLiteral("Global"), QStringLiteral("LimitString"),
                 QStringLiteral("partner")}};
    lc.siteKnown = [](QString &url) { return url.size() % 3 == 0; };
    lc.foundOnKnown = [] { return false; };

    tarnwick::DumpLineReader reader(normalized);
    for (int lines = 0; !reader.atEnd() && lines < 100000; ++lines) {
        const QStringView line = reader.next();
        if (tarnwick::isRedirectMarker(line)) {
            tarnwick::redirectTarget(line, reader, QStringLiteral("/moved.htm"), lc);
            continue;
        }
        tarnwick::hrefValue(line);
        tarnwick::examineLine(line, lc);
    }
    return 0;
}
