#pragma once

class QCoreApplication;

// Qt's own dialogs and buttons speak Chinese ("是(Y)", "否(N)", "取消").
// Returns false when Qt's Chinese translations are not installed.
bool installChineseTranslations(QCoreApplication &app);
