#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "app/session.h"

namespace redadado {

// The settings dialog: the serial line and the screen reader. Every choice is in force at
// once; the settings file is written when the program closes.
class TSetteiForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSetteiForm(Session& session, QWidget* parent = nullptr);

  QLabel* Label3;
  QComboBox* PortCB;
  QLabel* Label2;
  QComboBox* BorateCB;
  QLabel* Label6;
  QComboBox* FlowCB;
  QLabel* Label7;
  QComboBox* BitchoCB;
  QLabel* Label8;
  QComboBox* StopbitCB;
  QLabel* Label9;
  QComboBox* ParityCB;
  QLabel* Label15;
  QLabel* Label1;
  QComboBox* OnseiSoftCB;
  QLabel* Label4;
  QLabel* Label5;
  QPushButton* Button1;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void ShowPortDevices();
  void Button1Click();

  Session& session_;
};

}  // namespace redadado
