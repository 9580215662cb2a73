#pragma once
// The list builder: searches the web with the search words it is given,
// stores the distinct domains the result pages link to in the web-site
// table and, when enough were found, starts a scan. Loading it starts the
// search; nothing in the program opens it yet.

#include <QPointer>
#include <QSet>
#include <QWidget>

#include "exchange/listbuilder.h"

class QLineEdit;

namespace tarnwick {

class AppContext;
class MainWindowLink;
class Project;
class Scanner;
class WindowRegistry;

// A search as the main window's search controls hold it: the words, the
// search type's text and the result-size choice (-1 for none).
struct ListBuilderQuery {
    QString words;
    QString searchType;
    int resultSize = -1;
};

class Form3 : public QWidget {
    Q_OBJECT
public:
    // A window of its own owned by owner (the main window). Its status goes
    // to link's status bar; enough domains start a scan of scanner.
    Form3(AppContext &ctx, WindowRegistry &windows, Project &project, Scanner &scanner, MainWindowLink &link,
          QWidget *owner);
    ~Form3() override;

    // Takes the search words, engine and result size from query and starts
    // the search as soon as the event loop runs.
    void Form_Load(const ListBuilderQuery &query);

    QLineEdit *Text1 = nullptr;  // status
    // Where the result pages come from.
    listbuilder::EngineAddresses engines = listbuilder::defaultEngineAddresses();

    const QString &query() const { return m_query; }
    listbuilder::Engine engine() const { return m_engine; }
    int target() const { return m_target; }
    int total() const { return m_total; }
    bool finished() const { return m_finished; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void startSearch();
    QString fetchResultPage(const QString &url);
    // False when the window was closed meanwhile (it may be gone).
    bool parseResults(const QString &html);
    void endSearch();

    AppContext &m_ctx;
    WindowRegistry &m_windows;
    QPointer<Project> m_project;
    QPointer<Scanner> m_scanner;
    MainWindowLink &m_link;
    QString m_query;
    listbuilder::Engine m_engine = listbuilder::Engine::Google;
    int m_target = 100;
    int m_total = 0;
    int m_pageCount = 0;
    int m_position = listbuilder::kFirstPosition;
    QSet<QString> m_seen;  // lower case
    bool m_finished = false;
};

// Opens the list builder (one at a time), which starts its search for query.
Form3 *openListBuilder(AppContext &ctx, WindowRegistry &windows, Project &project, Scanner &scanner,
                       MainWindowLink &link, QWidget *owner, const ListBuilderQuery &query);

} // namespace tarnwick
