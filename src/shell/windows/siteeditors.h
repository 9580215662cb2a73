#pragma once
// The site and rule editors: the linking-site editor (Form2), the main-site
// editor (Form2a) and the Global Rules Editor (Form2b). Each is a modeless
// window over a working copy of one scope's rules; the project changes only
// when the user confirms with OK.

#include <QPointer>
#include <QVector>
#include <QWidget>
#include <functional>
#include <memory>

#include "workspace/siteedits.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace platform {
class ListView;
class ReportView;
}

namespace tarnwick {

class AppContext;
class Project;
class WindowRegistry;

// What the three editors share: the rule list, the six rule types, the value
// box and the buttons.
class RuleEditorWindow : public QWidget {
    Q_OBJECT
public:
    // Fills the window from the project; false when the entry is not there
    // (the window is then not to be shown).
    bool Form_Load();

    void Command1_Click();  // Add Rule
    void Command2_Click();  // Delete Rule
    void Command3_Click();  // Cancel
    void cmdSave_Click();   // OK
    void Text6_KeyPress(int keyAscii);

    platform::ListView *rules() const { return m_rules; }  // the working copy
    platform::ReportView *ListView1 = nullptr;
    QLabel *lblRules = nullptr;    // heading of the rule list
    QLabel *lblExplain = nullptr;  // what the rules apply to; none in Form2
    QRadioButton *Option1[6] = {};
    QLineEdit *Text6 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *cmdSave = nullptr;

protected:
    // A window of its own owned by owner (the main window); it deletes
    // itself when closed.
    RuleEditorWindow(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner, const QString &caption,
                     const QString &heading, const QString &explanation);

    // The site fields above the rules, one row each.
    QLineEdit *addField(const QString &name, const QString &label, const QString &hint);

    // Captures the entry and gives its rules; false when there is none.
    virtual bool loadEntry(QVector<RuleRow> &rules) = 0;
    // The site columns of a rule added now.
    virtual RuleScope scopeOfNewRule() const = 0;
    virtual EditResult saveEntry(const QVector<RuleRow> &working) = 0;
    virtual QString emptySiteMessage() const { return {}; }
    virtual QLineEdit *siteBox() const { return nullptr; }

    void showEvent(QShowEvent *event) override;

    AppContext &m_ctx;
    WindowRegistry &m_windows;
    QPointer<Project> m_project;

private:
    QVector<RuleRow> workingRules() const;
    void fitRuleColumns();

    platform::ListView *m_rules = nullptr;
    QGridLayout *m_fields = nullptr;
    QList<QLineEdit *> m_fieldBoxes;
    bool m_columnsFitted = false;
};

// Linking-site editor.
class Form2 : public RuleEditorWindow {
    Q_OBJECT
public:
    Form2(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner);

    QLineEdit *Text1 = nullptr;  // "Website"
    QLineEdit *Text2 = nullptr;  // "#"
    QLineEdit *Text3 = nullptr;  // "HTML Link"
    QLineEdit *Text4 = nullptr;  // "HTML Name"
    QLineEdit *Text5 = nullptr;  // "Description"

protected:
    bool loadEntry(QVector<RuleRow> &rules) override;
    RuleScope scopeOfNewRule() const override;
    EditResult saveEntry(const QVector<RuleRow> &working) override;
    QString emptySiteMessage() const override;
    QLineEdit *siteBox() const override { return Text1; }

private:
    std::unique_ptr<LinkingSiteEdit> m_edit;
};

// Main-site editor.
class Form2a : public RuleEditorWindow {
    Q_OBJECT
public:
    Form2a(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner);

    QLineEdit *Text1 = nullptr;  // the main site's text

protected:
    bool loadEntry(QVector<RuleRow> &rules) override;
    RuleScope scopeOfNewRule() const override;
    EditResult saveEntry(const QVector<RuleRow> &working) override;
    QString emptySiteMessage() const override;
    QLineEdit *siteBox() const override { return Text1; }

private:
    std::unique_ptr<MainSiteEdit> m_edit;
};

// Global Rules Editor.
class Form2b : public RuleEditorWindow {
    Q_OBJECT
public:
    Form2b(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner);

protected:
    bool loadEntry(QVector<RuleRow> &rules) override;
    RuleScope scopeOfNewRule() const override;
    EditResult saveEntry(const QVector<RuleRow> &working) override;

private:
    std::unique_ptr<GlobalRulesEdit> m_edit;
};

// Opens the Global Rules Editor (or brings it forward), owned by owner.
void openGlobalRulesEditor(AppContext &ctx, WindowRegistry &windows, Project &project, QWidget *owner);

} // namespace tarnwick
