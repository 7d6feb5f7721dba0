#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "workflow/session.h"

namespace redadado {

// The settings dialog: the serial line and the screen reader. Every choice is in force at
// once; the settings file is written when the program closes.
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsDialog(Session& session, QWidget* parent = nullptr);

  QLabel* portLabel;
  QComboBox* portList;
  QLabel* baudRateLabel;
  QComboBox* baudRateList;
  QLabel* flowControlLabel;
  QComboBox* flowControlList;
  QLabel* dataBitsLabel;
  QComboBox* dataBitsList;
  QLabel* stopBitsLabel;
  QComboBox* stopBitsList;
  QLabel* parityLabel;
  QComboBox* parityList;
  QLabel* screenReaderLabel;
  QLabel* screenReaderNote;
  QComboBox* screenReaderList;
  QLabel* saveNoteLabel;
  QLabel* saveNoteLabel2;
  QPushButton* okButton;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowSettings();
  void ShowPortDevices();
  void okClicked();

  Session& session_;
};

}  // namespace redadado
