#pragma once
// The project file: a tagged text file with CR LF lines and "|" between
// fields. Reader and writer work on plain data; the project moves values
// between its lists and a ProjectData.

#include <QByteArray>
#include <QString>
#include <QVector>

#include "workspace/results.h"

namespace tarnwick {

// One row of a linking-site list.
struct LinkingSiteRow {
    QString website;
    QString expected = QStringLiteral("1");  // the "#" column
    QString htmlLink;
    QString htmlName;
    QString description;

    bool operator==(const LinkingSiteRow &) const = default;
};

struct MainSiteData {
    QString text;
    QVector<LinkingSiteRow> links;

    bool operator==(const MainSiteData &) const = default;
};

struct RuleRow {
    QString mainSite;
    QString remoteSite;
    QString ruleType;
    QString ruleValue;

    bool operator==(const RuleRow &) const = default;
};

struct PostTarget {
    QString mainSite;
    QString scriptUrl;

    bool operator==(const PostTarget &) const = default;
};

struct ProjectData {
    QVector<MainSiteData> mainSites;
    // Link-page blocks; line breaks as "\n" once read.
    QString html1;
    QString html2;
    QString html3;
    QVector<ResultRow> results;
    QVector<RuleRow> rules;
    QString postSingle;  // "" writes no line
    QVector<PostTarget> postMulti;

    bool operator==(const ProjectData &) const = default;
};

// The whole file text: every line ends with CR LF and one empty line ends
// the file.
QString projectFileText(const ProjectData &project);

// The tag a line of this text would be read as ("NEXTSITE:", "RULE:", ...),
// "" when it begins with none. A linking site may not begin with one.
QString leadingTagWord(const QString &text);
// What the user is told when a linking site would begin with one.
QString tagWordMessage(const QString &tag);

// Reads the text of a project file. Damaged lines are skipped and reading
// goes on, so whatever is readable is kept.
ProjectData parseProjectText(const QString &text);

// File access: UTF-8 out; in, as text files are read (platform/textfile.h),
// line by line. A file that is no project (empty, binary, no line of a
// project's form) is refused with the reason. NUL characters in a project
// file are left out, and note (when given) says so; it is "" otherwise. The
// writer replaces the old file only once the new one is complete.
bool readProjectFile(const QString &path, ProjectData &project, QString *error = nullptr, QString *note = nullptr);
bool writeProjectFile(const QString &path, const ProjectData &project, QString *error = nullptr);

// The file name the Save dialog proposes for a project whose first main
// site has this text ("" when there is none).
QString proposedProjectName(const QString &firstMainSite);

// The name of the saved report of a project file in the "Project Files"
// folder: the file name with ".prj" turned into ".html" (".html" added when
// there is no ".prj", so it can never be the project file itself). "" when
// the path names no file.
QString reportNameForProject(const QString &projectPath);

} // namespace tarnwick
