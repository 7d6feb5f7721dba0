#include "gui/settings_dialog.h"

#include <QSignalBlocker>
#include <array>
#include <tuple>

#include "emboss/serial_link.h"
#include "gui/qt_seams.h"

namespace redadado {

namespace {

struct ListLayout {
  QLabel* SettingsDialog::*label;
  const char* labelName;
  const char* text;
  int labelTop;
  QComboBox* SettingsDialog::*list;
  const char* listName;
  int listTop;
  Settings::Index value;
  QStringList items;
};

// The six lists of the serial line, top to bottom.
const std::array<ListLayout, 6>& SerialLists() {
  static const std::array<ListLayout, 6> lists = {{
      {&SettingsDialog::portLabel,
       "Label3",
       "ポート名　：",
       18,
       &SettingsDialog::portList,
       "PortCB",
       17,
       Settings::kPort,
       {"ＣＯＭ１", "ＣＯＭ２", "ＣＯＭ３", "ＣＯＭ４", "ＣＯＭ５", "ＣＯＭ６", "ＣＯＭ７",
        "ＣＯＭ８", "ＣＯＭ９"}},
      {&SettingsDialog::baudRateLabel,
       "Label2",
       "ボーレート　：",
       39,
       &SettingsDialog::baudRateList,
       "BorateCB",
       38,
       Settings::kBaudRate,
       {"１１０", "３００", "６００", "１２００", "２４００", "４８００", "９６００", "１４４００",
        "１９２００", "３８４００", "５６０００", "５７６００", "１１５２００", "１２８０００",
        "２５６０００"}},
      {&SettingsDialog::flowControlLabel,
       "Label6",
       "フロー制御　：",
       60,
       &SettingsDialog::flowControlList,
       "FlowCB",
       59,
       Settings::kFlowControl,
       {"Ｘｏｎ／Ｘｏｆｆ", "なし"}},
      {&SettingsDialog::dataBitsLabel,
       "Label7",
       "ビット長　：",
       81,
       &SettingsDialog::dataBitsList,
       "BitchoCB",
       80,
       Settings::kDataBits,
       {"４", "５", "６", "７", "８"}},
      {&SettingsDialog::stopBitsLabel,
       "Label8",
       "ストップビット　：",
       102,
       &SettingsDialog::stopBitsList,
       "StopbitCB",
       101,
       Settings::kStopBits,
       {"１", "１．５", "２"}},
      {&SettingsDialog::parityLabel,
       "Label9",
       "パリティ　：",
       123,
       &SettingsDialog::parityList,
       "ParityCB",
       122,
       Settings::kParity,
       {"Ｎｏｎｅ", "Ｏｄｄ", "Ｅｖｅｎ"}},
  }};
  return lists;
}

}  // namespace

SettingsDialog::SettingsDialog(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
  setObjectName("TSetteiForm");
  setWindowTitle("　設定");
  setFont(TahomaFont(11));
  setFixedSize(364, 191);

  for (const ListLayout& layout : SerialLists()) {
    const auto [label, list] = MakeListRow(this, {.labelName = layout.labelName,
                                                  .text = layout.text,
                                                  .labelAt = {20, layout.labelTop},
                                                  .listName = layout.listName,
                                                  .items = layout.items,
                                                  .listAt = {120, layout.listTop, 105, 19},
                                                  .labelFont = GothicFont(12),
                                                  .listFont = GothicFont(11)});
    this->*layout.label = label;
    this->*layout.list = list;
    // Each choice is in force at once.
    const Settings::Index value = layout.value;
    connect(list, &QComboBox::currentIndexChanged, this, [this, value](int index) {
      if (index >= 0) session_.settings.values[value] = index;
    });
  }

  connect(portList, &QComboBox::currentIndexChanged, this, [this](int index) {
    portList->setToolTip(portList->itemData(index, Qt::ToolTipRole).toString());
  });

  std::tie(screenReaderLabel, screenReaderList) =
      MakeListRow(this, {.labelName = "Label15",
                         .text = "音声ガイド　　：",
                         .labelAt = {20, 144},
                         .listName = "OnseiSoftCB",
                         .items = {"使用しない", "ＰＣ-Ｔａｌｋｅｒ ＸＰ", "ＸＰ Ｒｅａｄｅｒ"},
                         .listAt = {120, 149, 105, 21},
                         .labelFont = TahomaFont(12)});
  screenReaderNote = MakeCaptioned<QLabel>(this, "Label1", "（読み上げソフト）", 24, 160);
  connect(screenReaderList, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) session_.settings.values[Settings::kScreenReader] = index;
  });

  saveNoteLabel = MakeCaptioned<QLabel>(this, "Label4", "設定内容は", 263, 98);
  saveNoteLabel2 = MakeCaptioned<QLabel>(this, "Label5", "保存されます。", 263, 114);
  okButton = new QPushButton("ＯＫ", this);
  okButton->setObjectName("Button1");
  Place(okButton, 260, 145, 75, 25);
  connect(okButton, &QPushButton::clicked, this, &SettingsDialog::okClicked);

  setTabOrder(portList, baudRateList);
  setTabOrder(baudRateList, flowControlList);
  setTabOrder(flowControlList, dataBitsList);
  setTabOrder(dataBitsList, stopBitsList);
  setTabOrder(stopBitsList, parityList);
  setTabOrder(parityList, screenReaderList);
  setTabOrder(screenReaderList, okButton);
  CenterOnScreen(this);
}

void SettingsDialog::showEvent(QShowEvent* event) {
  ShowSettings();
  QDialog::showEvent(event);
}

// Selects what the settings say, without storing anything back.
void SettingsDialog::ShowSettings() {
  const auto select = [this](QComboBox* list, Settings::Index value) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(session_.settings.values[value]);
  };
  for (const ListLayout& layout : SerialLists()) select(this->*layout.list, layout.value);
  select(screenReaderList, Settings::kScreenReader);
  ShowPortDevices();
}

// Where each COM item leads today: on Linux an embosser usually hangs on a USB adapter, which
// a COMn link in the application directory points at.
void SettingsDialog::ShowPortDevices() {
  for (int i = 0; i < portList->count(); ++i) {
    const QString device = ToQt(PortDevice(session_.paths, "COM" + std::to_string(i + 1)));
    portList->setItemData(i, device, Qt::ToolTipRole);
    portList->setItemData(i, device, Qt::AccessibleDescriptionRole);
  }
  portList->setToolTip(portList->currentData(Qt::ToolTipRole).toString());
}

void SettingsDialog::okClicked() {
  hide();
}

}  // namespace redadado
