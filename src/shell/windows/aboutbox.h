#pragma once
// The About box: product, company, version and web-site address.

#include <QWidget>

class QLabel;

namespace tarnwick {

class AppContext;
class WindowRegistry;

class frmAbout : public QWidget {
    Q_OBJECT
public:
    frmAbout(AppContext &ctx, WindowRegistry &windows, QWidget *parent = nullptr);

    void Form_Load();

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;      // product name
    QLabel *lblCompany = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblWebsite = nullptr;

private:
    AppContext &m_ctx;
    WindowRegistry &m_windows;
};

} // namespace tarnwick
