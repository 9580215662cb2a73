#include "workspace/database.h"

#include <array>

#include <sqlite3.h>

#include "workspace/context.h"
#include "workspace/fieldtext.h"
#include "workspace/project.h"
#include "workspace/textcase.h"

namespace tarnwick {

namespace db {

namespace {
// Another program may hold the file for a moment; wait that long at most.
constexpr int kBusyTimeoutMs = 1000;
} // namespace

Database::Database(const QString &path)
{
    const QByteArray file = path.toUtf8();
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        m_error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return;
    }
    m_db = db;
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    // Also tells a file that is not a database: this is the first read.
    if (!exec("CREATE TABLE IF NOT EXISTS websites (website TEXT, \"Date\" TEXT)")
        || !exec("CREATE TABLE IF NOT EXISTS emails (email TEXT)")) {
        const QString why = m_error;
        sqlite3_close(m_db);
        m_db = nullptr;
        m_error = why;
    }
}

Database::~Database()
{
    if (m_db)
        sqlite3_close(m_db);
}

void Database::fail(const QString &what)
{
    m_error = m_db ? what + QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(m_db)) : what;
}

Statement Database::prepare(const char *sql)
{
    if (!m_db)
        return {};
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        fail(QStringLiteral("prepare"));
        sqlite3_finalize(stmt);
        return {};
    }
    return Statement(this, stmt);
}

bool Database::exec(const char *sql)
{
    Statement s = prepare(sql);
    return s.isValid() && s.run();
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&other) noexcept
    : m_db(other.m_db)
    , m_stmt(other.m_stmt)
    , m_failed(other.m_failed)
{
    other.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_db = other.m_db;
        m_stmt = other.m_stmt;
        m_failed = other.m_failed;
        other.m_stmt = nullptr;
    }
    return *this;
}

void Statement::bind(int index, const QString &value)
{
    if (!m_stmt)
        return;
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        m_failed = true;
}

bool Statement::next()
{
    if (!m_stmt || m_failed)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        if (m_db)
            m_db->fail(QStringLiteral("step"));
    }
    return false;
}

bool Statement::run()
{
    if (!m_stmt)
        return false;
    while (next()) {
    }
    return !m_failed;
}

QString Statement::text(int column) const
{
    if (!m_stmt)
        return QString();
    const unsigned char *t = sqlite3_column_text(m_stmt, column);
    const int n = sqlite3_column_bytes(m_stmt, column);
    return t ? QString::fromUtf8(reinterpret_cast<const char *>(t), n) : QString();
}

} // namespace db

namespace {

template<std::size_t N>
void removeFragments(QString &url, const std::array<FoldedNeedle, N> &fragments)
{
    // Every fragment contains "://": a text without it loses nothing.
    if (url.contains(u"://")) {
        for (const FoldedNeedle &f : fragments)
            f.removeFrom(url);
    }
    // Spaces only, as the stored forms were always trimmed.
    qsizetype from = 0;
    qsizetype to = url.size();
    while (from < to && url.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && url.at(to - 1) == QLatin1Char(' '))
        --to;
    if (from > 0 || to < url.size())
        url = url.mid(from, to - from);
}

template<typename... Texts>
std::array<FoldedNeedle, sizeof...(Texts)> needles(Texts... texts)
{
    return {FoldedNeedle(QString::fromLatin1(texts))...};
}

} // namespace

QString databasePath(const AppContext &ctx)
{
    return ctx.programPath(QStringLiteral("spider.mdb"));
}

void removeSchemeShort(QString &url)
{
    // Made once: a page's every link passes through here.
    static const auto fragments = needles("http://", "ttp://", "tp://", "p://", "://");
    removeFragments(url, fragments);
}

void removeSchemeLong(QString &url)
{
    static const auto fragments =
        needles("http://www.", "http://", "ttp://www", "ttp://ww", "ttp://w", "ttp://", "tp://", "p://", "://");
    removeFragments(url, fragments);
}

bool addWebsite(AppContext &ctx, QString &url)
{
    url = storedField(url);
    removeSchemeShort(url);
    db::Database d(databasePath(ctx));
    db::Statement s = d.prepare("INSERT INTO websites (website, \"Date\") VALUES (?1, ?2)");
    s.bind(1, url);
    s.bind(2, ctx.clock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    s.run();
    return true;
}

bool clearEmails(AppContext &ctx, QString *error)
{
    {
        db::Database d(databasePath(ctx));
        if (!d.exec("DELETE FROM emails") && error)
            *error = d.errorText();
    }
    ctx.lLinksFound = 0;
    return true;
}

bool readEmails(AppContext &ctx, QStringList &addresses, QString *error)
{
    addresses.clear();
    db::Database d(databasePath(ctx));
    db::Statement s = d.prepare("SELECT email FROM emails ORDER BY rowid");
    while (s.next())
        addresses << s.text(0);
    if (!s.isValid() || s.failed()) {
        addresses.clear();
        if (error)
            *error = d.errorText();
        return false;
    }
    return true;
}

bool clearWebsites(Project &project, QString *error)
{
    AppContext &ctx = project.ctx();
    {
        db::Database d(databasePath(ctx));
        if (!d.isOpen() || !d.exec("DELETE FROM websites")) {
            if (error)
                *error = d.errorText();
            return false;
        }
    }
    if (!ctx.bScanning)
        project.List2->clear();
    ctx.lPagesFound = 0;
    ctx.lPagesScanned = 0;
    return true;
}

bool emailExists(AppContext &ctx, QString &address)
{
    if (address.endsWith(QLatin1Char('.')))
        address.chop(1);
    // Trim spaces, as a stored address never has any around it.
    while (address.startsWith(QLatin1Char(' ')))
        address.remove(0, 1);
    while (address.endsWith(QLatin1Char(' ')))
        address.chop(1);

    db::Database d(databasePath(ctx));
    db::Statement s = d.prepare("SELECT 1 FROM emails WHERE email = ?1 COLLATE NOCASE LIMIT 1");
    if (!s.isValid())
        return true;  // unreadable: treated as known, so nothing is added twice
    s.bind(1, address);
    const bool found = s.next();
    if (s.failed())
        return true;
    return found;
}

int onStop()
{
    return 0;
}

QString onNextSearch()
{
    return QString();
}

} // namespace tarnwick
