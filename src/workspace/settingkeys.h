#pragma once
// The names of the stored options, each written once. A key is the name of
// the control whose value it keeps; the store ignores letter case.

#include <QString>

namespace tarnwick::key {

// Project and start-up.
inline const QString LastProject = QStringLiteral("LastProject");
inline const QString showHelp = QStringLiteral("showHelp");
inline const QString lHistWebScanned = QStringLiteral("lHistWebScanned");
inline const QString lHistEmailFound = QStringLiteral("lHistEmailFound");
inline const QString IgnorePermissionDeniedError = QStringLiteral("IgnorePermissionDeniedError");

// Scanning.
inline const QString ScanType = QStringLiteral("ScanType");
inline const QString SkipType = QStringLiteral("SkipType");
inline const QString txtTimeout = QStringLiteral("txtTimeout");
inline const QString cmbAdvance = QStringLiteral("cmbAdvance");
inline const QString chkAuto = QStringLiteral("chkAuto");
inline const QString chkAuto2 = QStringLiteral("chkAuto2");
inline const QString chkAutoSave = QStringLiteral("chkAutoSave");
inline const QString chkAudioNext = QStringLiteral("chkAudioNext");
inline const QString chkAudioFinished = QStringLiteral("chkAudioFinished");
inline const QString chkAudioEmail = QStringLiteral("chkAudioEmail");
inline const QString chkRedirect = QStringLiteral("chkRedirect");
inline const QString chkUpdate = QStringLiteral("chkUpdate");
inline const QString chkFileTypes = QStringLiteral("chkFileTypes");
inline const QString chkLog = QStringLiteral("chkLog");
inline const QString cmbLastSearch = QStringLiteral("cmbLastSearch");

// Link page and posting.
inline const QString txtHTML1 = QStringLiteral("txtHTML1");
inline const QString txtHTML2 = QStringLiteral("txtHTML2");
inline const QString txtHTML3 = QStringLiteral("txtHTML3");
inline const QString optScript = QStringLiteral("optScript");
inline const QString optAll = QStringLiteral("optAll");
inline const QString chkBullet = QStringLiteral("chkBullet");
inline const QString chkNewWin = QStringLiteral("chkNewWin");

// List builder.
inline const QString Combo1 = QStringLiteral("Combo1");
inline const QString Combo2 = QStringLiteral("Combo2");

// Scanning Options dialog. The auto-save minutes are stored as "txtAutoSave"
// and read back as "txtAutosave": the store ignores letter case, so both
// name the same value.
inline const QString txtAutoSave = QStringLiteral("txtAutoSave");
inline const QString txtAutosave = QStringLiteral("txtAutosave");

// Import dialogs.
inline const QString getUrlOption = QStringLiteral("getUrlOption");
inline const QString getURL1 = QStringLiteral("getURL1");
inline const QString getURL2 = QStringLiteral("getURL2");
inline const QString getURLCombo = QStringLiteral("getURLCombo");

} // namespace tarnwick::key
