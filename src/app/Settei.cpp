#include "app/Settei.h"

#include <QSignalBlocker>
#include <array>

#include "app/QtSeams.h"
#include "emboss/serial_link.h"

namespace redadado {

namespace {

struct ListLayout {
  QLabel* TSetteiForm::*label;
  const char* labelName;
  const char* text;
  int labelTop;
  QComboBox* TSetteiForm::*list;
  const char* listName;
  int listTop;
  Settings::Index value;
  QStringList items;
};

// The six lists of the serial line, top to bottom.
const std::array<ListLayout, 6>& SerialLists() {
  static const std::array<ListLayout, 6> lists = {{
      {&TSetteiForm::Label3,
       "Label3",
       "ポート名　：",
       18,
       &TSetteiForm::PortCB,
       "PortCB",
       17,
       Settings::kPort,
       {"ＣＯＭ１", "ＣＯＭ２", "ＣＯＭ３", "ＣＯＭ４", "ＣＯＭ５", "ＣＯＭ６", "ＣＯＭ７",
        "ＣＯＭ８", "ＣＯＭ９"}},
      {&TSetteiForm::Label2,
       "Label2",
       "ボーレート　：",
       39,
       &TSetteiForm::BorateCB,
       "BorateCB",
       38,
       Settings::kBaudRate,
       {"１１０", "３００", "６００", "１２００", "２４００", "４８００", "９６００", "１４４００",
        "１９２００", "３８４００", "５６０００", "５７６００", "１１５２００", "１２８０００",
        "２５６０００"}},
      {&TSetteiForm::Label6,
       "Label6",
       "フロー制御　：",
       60,
       &TSetteiForm::FlowCB,
       "FlowCB",
       59,
       Settings::kFlowControl,
       {"Ｘｏｎ／Ｘｏｆｆ", "なし"}},
      {&TSetteiForm::Label7,
       "Label7",
       "ビット長　：",
       81,
       &TSetteiForm::BitchoCB,
       "BitchoCB",
       80,
       Settings::kDataBits,
       {"４", "５", "６", "７", "８"}},
      {&TSetteiForm::Label8,
       "Label8",
       "ストップビット　：",
       102,
       &TSetteiForm::StopbitCB,
       "StopbitCB",
       101,
       Settings::kStopBits,
       {"１", "１．５", "２"}},
      {&TSetteiForm::Label9,
       "Label9",
       "パリティ　：",
       123,
       &TSetteiForm::ParityCB,
       "ParityCB",
       122,
       Settings::kParity,
       {"Ｎｏｎｅ", "Ｏｄｄ", "Ｅｖｅｎ"}},
  }};
  return lists;
}

}  // namespace

TSetteiForm::TSetteiForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName("TSetteiForm");
  setWindowTitle("　設定");
  setFont(TahomaFont(11));
  setFixedSize(364, 191);

  for (const ListLayout& layout : SerialLists()) {
    QLabel* label = this->*layout.label = new QLabel(layout.text, this);
    label->setObjectName(layout.labelName);
    label->setFont(GothicFont(12));
    PlaceLabel(label, 20, layout.labelTop);
    QComboBox* list = this->*layout.list = new QComboBox(this);
    list->setObjectName(layout.listName);
    list->addItems(layout.items);
    list->setFont(GothicFont(11));
    Place(list, 120, layout.listTop, 105, 19);
    label->setBuddy(list);
    // Each choice is in force at once.
    const Settings::Index value = layout.value;
    connect(list, &QComboBox::currentIndexChanged, this, [this, value](int index) {
      if (index >= 0) session_.settings.values[value] = index;
    });
  }

  connect(PortCB, &QComboBox::currentIndexChanged, this, [this](int index) {
    PortCB->setToolTip(PortCB->itemData(index, Qt::ToolTipRole).toString());
  });

  Label15 = new QLabel("音声ガイド　　：", this);
  Label15->setObjectName("Label15");
  Label15->setFont(TahomaFont(12));
  PlaceLabel(Label15, 20, 144);
  Label1 = new QLabel("（読み上げソフト）", this);
  Label1->setObjectName("Label1");
  PlaceLabel(Label1, 24, 160);
  OnseiSoftCB = new QComboBox(this);
  OnseiSoftCB->setObjectName("OnseiSoftCB");
  OnseiSoftCB->addItems({"使用しない", "ＰＣ-Ｔａｌｋｅｒ ＸＰ", "ＸＰ Ｒｅａｄｅｒ"});
  Place(OnseiSoftCB, 120, 149, 105, 21);
  Label15->setBuddy(OnseiSoftCB);
  connect(OnseiSoftCB, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) session_.settings.values[Settings::kScreenReader] = index;
  });

  Label4 = new QLabel("設定内容は", this);
  Label4->setObjectName("Label4");
  PlaceLabel(Label4, 263, 98);
  Label5 = new QLabel("保存されます。", this);
  Label5->setObjectName("Label5");
  PlaceLabel(Label5, 263, 114);
  Button1 = new QPushButton("ＯＫ", this);
  Button1->setObjectName("Button1");
  Place(Button1, 260, 145, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &TSetteiForm::Button1Click);

  setTabOrder(PortCB, BorateCB);
  setTabOrder(BorateCB, FlowCB);
  setTabOrder(FlowCB, BitchoCB);
  setTabOrder(BitchoCB, StopbitCB);
  setTabOrder(StopbitCB, ParityCB);
  setTabOrder(ParityCB, OnseiSoftCB);
  setTabOrder(OnseiSoftCB, Button1);
  CenterOnScreen(this);
}

void TSetteiForm::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

// Selects what the settings say, without storing anything back.
void TSetteiForm::FormShow() {
  const auto select = [this](QComboBox* list, Settings::Index value) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(session_.settings.values[value]);
  };
  for (const ListLayout& layout : SerialLists()) select(this->*layout.list, layout.value);
  select(OnseiSoftCB, Settings::kScreenReader);
  ShowPortDevices();
}

// Where each COM item leads today: on Linux an embosser usually hangs on a USB adapter, which
// a COMn link in the application directory points at.
void TSetteiForm::ShowPortDevices() {
  for (int i = 0; i < PortCB->count(); ++i) {
    const QString device = ToQt(PortDevice(session_.paths, "COM" + std::to_string(i + 1)));
    PortCB->setItemData(i, device, Qt::ToolTipRole);
    PortCB->setItemData(i, device, Qt::AccessibleDescriptionRole);
  }
  PortCB->setToolTip(PortCB->currentData(Qt::ToolTipRole).toString());
}

void TSetteiForm::Button1Click() {
  hide();
}

}  // namespace redadado
