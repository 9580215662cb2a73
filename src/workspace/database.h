#pragma once
// The local database spider.mdb beside the program: a table of web sites
// (website, Date) and a table of e-mail addresses (email). It is an SQLite
// file; a missing file is created with both tables. Every operation opens
// it, does its work with prepared statements and closes it again.
//
// Like the other shared procedures, several operations write a reduced text
// back into the caller's variable; callers rely on that.

#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace tarnwick {

class AppContext;
class Project;

namespace db {

class Statement;

// One open connection; closed by the destructor.
class Database {
public:
    // Opens the file, creating it when missing, and makes sure both tables
    // exist. A file that cannot be opened (locked, not a database, no
    // permission) leaves isOpen() false and the reason in errorText().
    explicit Database(const QString &path);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    QString errorText() const { return m_error; }

    Statement prepare(const char *sql);
    // Runs a statement without parameters; false (with errorText) on failure.
    bool exec(const char *sql);

private:
    friend class Statement;
    void fail(const QString &what);

    sqlite3 *m_db = nullptr;
    QString m_error;
};

// One prepared statement; finalised by the destructor.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    // Parameters count from 1.
    void bind(int index, const QString &value);
    // Moves to the next row: true while a row is there. After false, failed()
    // tells an error from the end of the rows.
    bool next();
    bool failed() const { return m_failed; }
    // Runs to the end; false on any failure.
    bool run();
    QString text(int column) const;

private:
    friend class Database;
    Statement(Database *db, sqlite3_stmt *stmt) : m_db(db), m_stmt(stmt) {}

    Database *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_failed = false;
};

} // namespace db

// The database file beside the program.
QString databasePath(const AppContext &ctx);

// Scheme removal: each fragment removed everywhere, ignoring case, in order,
// then spaces trimmed. Short list: "http://", "ttp://", "tp://", "p://",
// "://"; long list: the same with the "www." forms first.
void removeSchemeShort(QString &url);
void removeSchemeLong(QString &url);

// Adds a row (url without its scheme, now) to websites; url is reduced in
// the caller's variable. True, also when nothing could be stored.
bool addWebsite(AppContext &ctx, QString &url);

// Empties the e-mail table and sets lLinksFound to 0. Always true; when the
// table could not be emptied, error (when given) says why.
bool clearEmails(AppContext &ctx, QString *error = nullptr);

// Every stored e-mail address, in the table's order. False (with error) when
// the table could not be read; addresses then holds nothing.
bool readEmails(AppContext &ctx, QStringList &addresses, QString *error = nullptr);

// Empties the web-site table; then clears the page queue (not while a scan
// runs: the scan still needs it) and sets lPagesFound and lPagesScanned to 0.
// When the table cannot be emptied, nothing else changes, the reason goes to
// error and the answer is false.
bool clearWebsites(Project &project, QString *error = nullptr);

// Whether the address is stored (ignoring case). One trailing "." is removed
// and spaces trimmed in the caller's variable. A database that cannot be
// read answers true.
bool emailExists(AppContext &ctx, QString &address);

// Hooks of Stop and of the list builder; they do nothing.
int onStop();
QString onNextSearch();

} // namespace tarnwick
