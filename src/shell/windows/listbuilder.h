#pragma once
// The list builder: searches the web with the main window's search words,
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
class Form1;

class Form3 : public QWidget {
    Q_OBJECT
public:
    Form3(AppContext &ctx, Form1 &form);
    ~Form3() override;

    // Reads the search words, engine and result size from the main window
    // and starts the search as soon as the event loop runs.
    void Form_Load();

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
    QPointer<Form1> m_form;
    QString m_query;
    listbuilder::Engine m_engine = listbuilder::Engine::Google;
    int m_target = 100;
    int m_total = 0;
    int m_pageCount = 0;
    int m_position = listbuilder::kFirstPosition;
    QSet<QString> m_seen;  // lower case
    bool m_finished = false;
};

// Opens the list builder (one at a time), which starts its search.
Form3 *openListBuilder(Form1 &form);

} // namespace tarnwick
