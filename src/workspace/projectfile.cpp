#include "workspace/projectfile.h"


#include <QRegularExpression>

#include "platform/safefile.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "workspace/fieldtext.h"

namespace tarnwick {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kSep = QStringLiteral("|");
const QString kBlockBreak = QStringLiteral("|||");
const QString kPipeEntity = QStringLiteral("&#124;");

const QString kTagNextSite = QStringLiteral("NEXTSITE:");
const QString kTagHtml1 = QStringLiteral("HTML01:");
const QString kTagHtml2 = QStringLiteral("HTML02:");
const QString kTagHtml3 = QStringLiteral("HTML03:");
const QString kTagResult = QStringLiteral("RESULT:");
const QString kTagRule = QStringLiteral("RULE:");
const QString kTagPostSingle = QStringLiteral("POSTSINGLE:");
const QString kTagPostMulti = QStringLiteral("POSTMULTI:");

// A line break inside a one-line field would split the line when read back;
// other control characters have no place in a stored field.
QString oneLine(const QString &field)
{
    QString out = field;
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return storedField(out);
}

// A "|" inside a field would split its line when read back. In a URL (and
// in the plain fields, which never hold one of their own) "%7C" is the same
// address and reads back whole; in text that is HTML by intent "&#124;"
// shows as "|", and reads back as "|".
QString replaced(const QString &text, const QString &from, const QString &to)
{
    if (!text.contains(from))
        return text;  // shared, not copied
    QString out = text;
    out.replace(from, to);
    return out;
}

QString urlField(const QString &url)
{
    return replaced(url, kSep, QStringLiteral("%7C"));
}

QString htmlField(const QString &html)
{
    return replaced(html, kSep, kPipeEntity);
}

QString htmlFromField(const QString &field)
{
    return replaced(field, kPipeEntity, kSep);
}

// Calls run(start, end) for every maximal run of `unit` in text.
template <typename Run>
void forEachRun(const QString &text, QStringView unit, Run run)
{
    qsizetype i = text.indexOf(unit);
    while (i >= 0) {
        qsizetype end = i;
        while (QStringView(text).mid(end).startsWith(unit))
            end += unit.size();
        run(i, end);
        i = text.indexOf(unit, end);
    }
}

bool breakAt(const QString &text, qsizetype i)
{
    return i >= 0 && i < text.size() && text[i] == QLatin1Char('\n');
}

// A block is one field and "|||" its line break. Its own "|" stays as it
// is, except where the reader would take it as part of a break: in a run of
// three or more, or next to a break. There it is written "&#124;".
QString blockField(const QString &block)
{
    QString text = storedBlock(block);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype done = 0;
    forEachRun(text, kSep, [&](qsizetype start, qsizetype end) {
        out += QStringView(text).mid(done, start - done);
        const bool entity = end - start >= 3 || breakAt(text, start - 1) || breakAt(text, end);
        out += (entity ? kPipeEntity : kSep).repeated(end - start);
        done = end;
    });
    out += QStringView(text).mid(done);
    out.replace(QLatin1Char('\n'), kBlockBreak);
    return out;
}

// The reverse: "|||" is a break, and "&#124;" a "|" where the writer puts it
// for one. Elsewhere it is text of the block's own, as older files have it.
QString blockFromField(const QString &field)
{
    QString text = field;
    text.replace(kBlockBreak, QStringLiteral("\n"));
    if (!text.contains(kPipeEntity))
        return text;
    QString out;
    qsizetype done = 0;
    forEachRun(text, kPipeEntity, [&](qsizetype start, qsizetype end) {
        out += QStringView(text).mid(done, start - done);
        const qsizetype count = (end - start) / kPipeEntity.size();
        const bool pipes = count >= 3 || breakAt(text, start - 1) || breakAt(text, end);
        out += pipes ? kSep.repeated(count) : text.mid(start, end - start);
        done = end;
    });
    out += QStringView(text).mid(done);
    return out;
}

// A linking-site line that began with a tag word would be read as that tag's
// line. Sites are refused such names where they are typed; anything that
// still has one keeps its place in the file with the colon as "%3A".
QString linkingSiteField(const QString &website)
{
    // Tested as it will be written: a control character dropped from the
    // middle of a tag word makes the word whole.
    const QString site = oneLine(website);
    const QString tag = leadingTagWord(site);
    if (tag.isEmpty())
        return urlField(site);
    return urlField(tag.chopped(1) + QStringLiteral("%3A") + site.mid(tag.size()));
}

QString joinFields(std::initializer_list<QString> fields)
{
    QString out;
    bool first = true;
    for (const QString &f : fields) {
        if (!first)
            out += kSep;
        out += oneLine(f);
        first = false;
    }
    return out;
}

void appendLine(QString &out, const QString &line)
{
    out += line;
    out += kCrLf;
}

enum class Tag { None, NextSite, Html1, Html2, Html3, Result, Rule, PostSingle, PostMulti };

// The tag a line begins with (letter case counts) and the rest of the line.
Tag tagOf(const QString &line, QString &value)
{
    static const std::pair<const QString *, Tag> tags[] = {
        {&kTagHtml1, Tag::Html1},       {&kTagHtml2, Tag::Html2},   {&kTagHtml3, Tag::Html3},
        {&kTagResult, Tag::Result},     {&kTagNextSite, Tag::NextSite}, {&kTagRule, Tag::Rule},
        {&kTagPostSingle, Tag::PostSingle}, {&kTagPostMulti, Tag::PostMulti},
    };
    for (const auto &[tag, kind] : tags) {
        if (line.startsWith(*tag)) {
            value = line.mid(tag->size());
            return kind;
        }
    }
    value = line;
    return Tag::None;
}

class Reader {
public:
    explicit Reader(ProjectData &p) : m_p(p) {}

    // Lines in file order.
    void line(const QString &line)
    {
        if (m_first) {
            m_first = false;
            firstLine(line);
        } else {
            otherLine(line);
        }
    }

    // A line of a form only a project file has was read.
    bool sawTagLine() const { return m_sawTag; }

private:
    void firstLine(const QString &line)
    {
        QString value;
        if (tagOf(line, value) != Tag::None)
            otherLine(line);
        else
            m_p.mainSites.append(MainSiteData{line, {}});
    }

    void otherLine(const QString &line)
    {
        if (line.isEmpty() || line == QLatin1String(" "))
            return;
        QString value;
        const Tag tag = tagOf(line, value);
        m_sawTag = m_sawTag || tag != Tag::None;
        switch (tag) {
        case Tag::Html1: m_p.html1 = blockFromField(value); break;
        case Tag::Html2: m_p.html2 = blockFromField(value); break;
        case Tag::Html3: m_p.html3 = blockFromField(value); break;
        case Tag::NextSite: m_p.mainSites.append(MainSiteData{value, {}}); break;
        case Tag::Result: result(value); break;
        case Tag::Rule: rule(value); break;
        case Tag::PostSingle: m_p.postSingle = value; break;
        case Tag::PostMulti: postMulti(value); break;
        case Tag::None: linkingSite(line); break;
        }
    }

    void result(const QString &value)
    {
        const QStringList f = value.split(kSep);
        if (f.size() < 5)
            return;
        bool ok = false;
        const int icon = f[0].trimmed().toInt(&ok);
        if (!ok)
            return;
        ResultRow r;
        r.icon = icon;
        if (f.size() < 6) {
            // Older files have no main-site column.
            r.linking = f[1];
            r.status = f[2];
            r.number = f[3];
            r.linkUrl = f[4];
        } else {
            r.main = f[1];
            r.linking = f[2];
            r.status = f[3];
            r.number = f[4];
            r.linkUrl = f[5];
        }
        m_p.results.append(r);
    }

    void rule(const QString &value)
    {
        const QStringList f = value.split(kSep);
        if (f.size() < 4)
            return;
        m_p.rules.append(RuleRow{f[0], f[1], f[2], f[3]});
    }

    void postMulti(const QString &value)
    {
        const QStringList f = value.split(kSep);
        if (f.size() < 2)
            return;
        m_p.postMulti.append(PostTarget{f[0], f[1]});
    }

    void linkingSite(const QString &line)
    {
        // A linking site before any main site has no list to go to.
        if (m_p.mainSites.isEmpty())
            return;
        LinkingSiteRow row;
        const QStringList f = line.split(kSep);
        row.website = f[0];
        row.expected = f.size() > 1 ? f[1] : QStringLiteral("1");
        if (f.size() > 2)
            row.htmlLink = f[2];
        if (f.size() > 3)
            row.htmlName = htmlFromField(f[3]);
        if (f.size() > 4)
            row.description = htmlFromField(f[4]);
        m_p.mainSites.last().links.append(row);
    }

    ProjectData &m_p;
    bool m_first = true;
    bool m_sawTag = false;
};

} // namespace

QString leadingTagWord(const QString &text)
{
    QString value;
    switch (tagOf(text, value)) {
    case Tag::None:
        return QString();
    default:
        return text.left(text.size() - value.size());
    }
}

QString tagWordMessage(const QString &tag)
{
    return QStringLiteral("A linking site cannot start with \"%1\": project files use that word to mark their own "
                          "lines. Please check the address.")
        .arg(tag);
}

QString projectFileText(const ProjectData &p)
{
    QString out;
    for (qsizetype i = 0; i < p.mainSites.size(); ++i) {
        const MainSiteData &site = p.mainSites[i];
        const QString text = oneLine(urlField(site.text));
        // The first main site has no tag, unless its text begins like a tag
        // line or like a byte-order mark: then it takes the tag of the others
        // and reads back the same.
        const bool tagged = i > 0 || !leadingTagWord(text).isEmpty() || text.startsWith(QChar(0xFEFF));
        appendLine(out, (tagged ? kTagNextSite : QString()) + text);
        for (const LinkingSiteRow &row : site.links)
            appendLine(out, joinFields({linkingSiteField(row.website), urlField(row.expected), urlField(row.htmlLink),
                                        htmlField(row.htmlName), htmlField(row.description)}));
    }
    appendLine(out, kTagHtml1 + blockField(p.html1));
    appendLine(out, kTagHtml2 + blockField(p.html2));
    appendLine(out, kTagHtml3 + blockField(p.html3));
    for (const ResultRow &r : p.results)
        appendLine(out, kTagResult
                            + joinFields({QString::number(r.icon), urlField(r.main), urlField(r.linking),
                                          urlField(r.status), urlField(r.number), urlField(r.linkUrl)}));
    // A linking site's rules name it as its row does.
    for (const RuleRow &r : p.rules)
        appendLine(out, kTagRule + joinFields({urlField(r.mainSite), linkingSiteField(r.remoteSite),
                                               urlField(r.ruleType), urlField(r.ruleValue)}));
    if (!p.postSingle.isEmpty())
        appendLine(out, kTagPostSingle + oneLine(p.postSingle));
    for (const PostTarget &t : p.postMulti)
        appendLine(out, kTagPostMulti + joinFields({urlField(t.mainSite), urlField(t.scriptUrl)}));
    out += kCrLf;
    return out;
}

ProjectData parseProjectText(const QString &text)
{
    ProjectData p;
    QString body = text;
    if (body.startsWith(QChar(0xFEFF)))
        body.remove(0, 1);
    if (body.isEmpty())
        return p;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = body.split(lineBreak);
    // The break after the last line does not start another line.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    Reader reader(p);
    for (const QString &line : std::as_const(lines))
        reader.line(line);
    return p;
}

bool readProjectFile(const QString &path, ProjectData &project, QString *error, QString *note)
{
    auto refuse = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    // Line by line into the project: a large file is never held whole.
    platform::TextFileReader in;
    if (!in.open(path, error))
        return false;
    if (!in.hasText())
        return refuse(QStringLiteral("The file is empty."));
    ProjectData p;
    Reader reader(p);
    QString line;
    while (in.readLine(line)) {
        // A NUL in a field once made a file we wrote unreadable; such a file
        // opens without them.
        if (in.nulCount() > 0)
            line.remove(QChar(0));
        reader.line(line);
    }
    if (!in.failure().isEmpty())
        return refuse(in.failure());
    // Every project file has at least its link-page lines.
    if (!reader.sawTagLine())
        return refuse(in.nulCount() > 0
                          ? QStringLiteral("The file holds binary data: it is not a project file.")
                          : QStringLiteral("The file is not a project file: none of its lines has the form of one."));
    if (note)
        *note = in.nulCount() == 0 ? QString()
                                   : QStringLiteral("The project file held %1 NUL character(s); they were left out.")
                                         .arg(in.nulCount());
    project = std::move(p);
    return true;
}

bool writeProjectFile(const QString &path, const ProjectData &project, QString *error)
{
    return platform::writeFileAtomically(path, projectFileText(project).toUtf8(), error);
}

QString proposedProjectName(const QString &firstMainSite)
{
    const QString unnamed = QStringLiteral("Unnamed.prj");
    if (firstMainSite.isEmpty())
        return unnamed;
    QString name = firstMainSite;
    name.remove(QLatin1Char('.'));
    name.remove(QStringLiteral("http://"), Qt::CaseInsensitive);
    name.remove(QStringLiteral("https://"), Qt::CaseInsensitive);
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash >= 1)
        name.truncate(slash);
    // Whatever is left of a path must not lead the dialog into a folder.
    name.remove(QLatin1Char('/'));
    name.remove(QLatin1Char('\\'));
    if (name.trimmed().isEmpty())
        return unnamed;
    return name + QStringLiteral(".prj");
}

QString reportNameForProject(const QString &projectPath)
{
    const qsizetype slash = projectPath.lastIndexOf(QLatin1Char('/'));
    QString name = slash < 0 ? projectPath : projectPath.mid(slash + 1);
    if (name.isEmpty())
        return QString();
    if (name.contains(QStringLiteral(".prj"), Qt::CaseInsensitive))
        name.replace(QStringLiteral(".prj"), QStringLiteral(".html"), Qt::CaseInsensitive);
    else
        name += QStringLiteral(".html");
    // A file system takes 255 bytes for a name, and the file is written
    // through a copy with a longer name: the part before the extension is
    // shortened to leave room for both.
    constexpr qsizetype kMaxNameBytes = 255 - platform::kWriteCopySuffixBytes;
    qsizetype excess = name.toUtf8().size() - kMaxNameBytes;
    if (excess <= 0)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    QString stem = name.left(name.size() - extension.size());
    while (excess > 0 && !stem.isEmpty()) {
        qsizetype cut = stem.size() - 1;
        if (cut > 0 && stem[cut].isLowSurrogate())
            --cut;
        excess -= stem.mid(cut).toUtf8().size();
        stem.truncate(cut);
    }
    return stem + extension;
}

} // namespace tarnwick
