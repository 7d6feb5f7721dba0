#pragma once

class QApplication;
class QTranslator;
class QWidget;

namespace redadado {

// What screen readers (Orca, NVDA) need from every window beyond the speech guide:
// - each control named for what it is: a control that a label stands for takes the label's
//   words (without the colon), unless it was given a name of its own;
// - each hint as the control's description;
// - a closed combo box that tells its current item (Qt 6.4 gives none away).
// Installs these for every window that the application shows, now or later.
void InstallAccessibility(QApplication& application);

// Names and describes the controls of one window, as InstallAccessibility does on every show.
void MakeAccessible(QWidget* window);

// Qt's own Japanese texts, so that standard buttons read "OK", "キャンセル", "はい", "いいえ".
// False when the translations are not installed.
bool LoadJapaneseQtTranslations(QTranslator& translator);

}  // namespace redadado
