#include "app/Settei.h"

#include <QSignalBlocker>
#include <array>
#include <utility>

#include "app/QtSeams.h"
#include "emboss/serial_link.h"

namespace redadado {

namespace {

struct ListLayout {
  const char* label;
  int labelTop;
  int listTop;
  Settings::Index value;
  QStringList items;
};

}  // namespace

TSetteiForm::TSetteiForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName("TSetteiForm");
  setWindowTitle("　設定");
  setFont(TahomaFont(11));
  setFixedSize(364, 191);

  const std::array<ListLayout, 6> serial = {{
      {"ポート名　：",
       18,
       17,
       Settings::kPort,
       {"ＣＯＭ１", "ＣＯＭ２", "ＣＯＭ３", "ＣＯＭ４", "ＣＯＭ５", "ＣＯＭ６", "ＣＯＭ７",
        "ＣＯＭ８", "ＣＯＭ９"}},
      {"ボーレート　：",
       39,
       38,
       Settings::kBaudRate,
       {"１１０", "３００", "６００", "１２００", "２４００", "４８００", "９６００", "１４４００",
        "１９２００", "３８４００", "５６０００", "５７６００", "１１５２００", "１２８０００",
        "２５６０００"}},
      {"フロー制御　：", 60, 59, Settings::kFlowControl, {"Ｘｏｎ／Ｘｏｆｆ", "なし"}},
      {"ビット長　：", 81, 80, Settings::kDataBits, {"４", "５", "６", "７", "８"}},
      {"ストップビット　：", 102, 101, Settings::kStopBits, {"１", "１．５", "２"}},
      {"パリティ　：", 123, 122, Settings::kParity, {"Ｎｏｎｅ", "Ｏｄｄ", "Ｅｖｅｎ"}},
  }};
  const std::array<std::pair<const char*, const char*>, 6> names = {{{"Label3", "PortCB"},
                                                                     {"Label2", "BorateCB"},
                                                                     {"Label6", "FlowCB"},
                                                                     {"Label7", "BitchoCB"},
                                                                     {"Label8", "StopbitCB"},
                                                                     {"Label9", "ParityCB"}}};
  std::array<QLabel*, 6> labels{};
  std::array<QComboBox*, 6> lists{};
  for (std::size_t i = 0; i < serial.size(); ++i) {
    const ListLayout& layout = serial[i];
    labels[i] = new QLabel(layout.label, this);
    labels[i]->setObjectName(names[i].first);
    labels[i]->setFont(GothicFont(12));
    PlaceLabel(labels[i], 20, layout.labelTop);
    lists[i] = new QComboBox(this);
    lists[i]->setObjectName(names[i].second);
    lists[i]->addItems(layout.items);
    lists[i]->setFont(GothicFont(11));
    Place(lists[i], 120, layout.listTop, 105, 19);
    labels[i]->setBuddy(lists[i]);
    // Each choice is in force at once.
    const Settings::Index value = layout.value;
    connect(lists[i], &QComboBox::currentIndexChanged, this, [this, value](int index) {
      if (index >= 0) session_.settings.values[value] = index;
    });
  }
  Label3 = labels[0];
  PortCB = lists[0];
  Label2 = labels[1];
  BorateCB = lists[1];
  Label6 = labels[2];
  FlowCB = lists[2];
  Label7 = labels[3];
  BitchoCB = lists[3];
  Label8 = labels[4];
  StopbitCB = lists[4];
  Label9 = labels[5];
  ParityCB = lists[5];

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
  const std::array<std::pair<QComboBox*, Settings::Index>, 7> lists = {{
      {BorateCB, Settings::kBaudRate},
      {PortCB, Settings::kPort},
      {FlowCB, Settings::kFlowControl},
      {BitchoCB, Settings::kDataBits},
      {StopbitCB, Settings::kStopBits},
      {ParityCB, Settings::kParity},
      {OnseiSoftCB, Settings::kScreenReader},
  }};
  for (const auto& [list, value] : lists) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(session_.settings.values[value]);
  }
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
