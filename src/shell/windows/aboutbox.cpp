#include "shell/windows/aboutbox.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

#include "shell/skin/skin.h"
#include "shell/windows/controls.h"
#include "shell/windows/modeless.h"
#include "shell/windows/splash.h"
#include "workspace/context.h"

namespace tarnwick {

frmAbout::frmAbout(AppContext &ctx, WindowRegistry &windows, QWidget *parent)
    : QWidget(parent, kOwnedWindow | Qt::MSWindowsFixedSizeDialogHint)
    , m_ctx(ctx)
    , m_windows(windows)
{
    setObjectName(QStringLiteral("frmAbout"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(12);

    Picture1 = makeLabel(QString(), QStringLiteral("Picture1"), this);
    Picture1->setPixmap(QPixmap::fromImage(iconGroupImage(QStringLiteral("AAA"), 64)));
    Picture1->setFixedSize(72, 72);
    Picture1->setAlignment(Qt::AlignCenter);
    markPictureBox(Picture1);
    grid->addWidget(Picture1, 0, 0, 4, 1, Qt::AlignTop);

    Label1 = makeLabel(QString(), QStringLiteral("Label1"), this);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    Label1->setFont(big);
    grid->addWidget(Label1, 0, 1, 1, 2);

    const struct {
        const char *caption;
        const char *name;
        QLabel **value;
        const char *valueName;
    } rows[] = {
        {"Owned By:", "lblOwnedBy", &lblCompany, "lblCompany"},
        {"Version:", "lblVersionCaption", &lblVersion, "lblVersion"},
        {"Website:", "lblWebsiteCaption", &lblWebsite, "lblWebsite"},
    };
    int r = 1;
    for (const auto &row : rows) {
        grid->addWidget(makeLabel(QString::fromLatin1(row.caption), QString::fromLatin1(row.name), this), r, 1);
        *row.value = makeLabel(QString(), QString::fromLatin1(row.valueName), this);
        (*row.value)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(*row.value, r, 2);
        ++r;
    }
    grid->setColumnStretch(2, 1);
    setMinimumWidth(360);
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + m_ctx.strProductName);
    Label1->setText(m_ctx.strProductName);
    lblCompany->setText(m_ctx.strCompanyName);
    lblVersion->setText(programVersionText());
    lblWebsite->setText(m_ctx.strWebsiteURL);
    skinWindow(m_ctx, m_windows, this);
}

} // namespace tarnwick
