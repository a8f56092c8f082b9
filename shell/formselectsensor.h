#pragma once
// TfSelectSensor: the sensor database. It lists every sensor file in a grid
// (name, type, sensitivity, frequency range, temperature output), sorted by
// CompareSensorNames, and offers Add and Edit (through the sensor editor)
// and Delete (after a question). Its whole effect is on the sensor files;
// it returns nothing to its opener (modal result mrCancel).
//
// Use: construct with the opening window as owner, ShowModal, destroy.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "geometry.h"
#include "languageservice.h"
#include "sensorlist.h"
#include "windowframe.h"

class TBitmapButton;
class TPanelEx;

namespace gui {
class TDrawGrid;
}

class TfSelectSensor : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 18> LangKeys = {{
      {u"Forms", u"ZeltoSensorBase"},
      {u"Forms", u"Close"},
      {u"Forms", u"Edit"},
      {u"Forms", u"Add"},
      {u"Forms", u"Delete"},
      {u"Forms", u"Name"},
      {u"Forms", u"Type"},
      {u"Forms", u"Sensitivity"},
      {u"Forms", u"FreqRange"},
      {u"Forms", u"Acceleration"},
      {u"Forms", u"Velocity"},
      {u"Forms", u"Displacement"},
      {u"Forms", u"Temperature"},
      {u"Forms", u"Yes"},
      {u"Forms", u"No"},
      {u"Forms", u"UpdateSensor"},
      {u"Forms", u"RemoveSensor"},
      {u"Forms", u"SensorNotDeleted"},
  }};

  // Column widths of the grid, from the row number to the empty last column.
  static constexpr std::array<int, 7> ColumnWidths = {20, 130, 130, 130, 130, 120, 18};

  explicit TfSelectSensor(gui::TComponent* owner);

  // The sensors as the grid shows them: row r is entry r - 1.
  const std::vector<TSensorEntry>& SensorList() const { return FSensorList; }
  // The selected sensor's index in SensorList, -1 when none.
  int32_t SelectedIndex = -1;
  // Where the sensor files the list could not read when it opened are
  // logged besides being shown; nowhere when empty.
  std::function<void(const std::u16string&)> WriteLog;

  TBitmapButton* bClose = nullptr;
  TBitmapButton* bCloseS = nullptr;
  TPanelEx* peSelect = nullptr;
  gui::TDrawGrid* dgSensors = nullptr;
  TBitmapButton* bEdit = nullptr;
  TBitmapButton* bAdd = nullptr;
  TBitmapButton* bDelete = nullptr;

  // Rebuilds the list from the sensor files and the grid from the list.
  void FillGrid();
  // The text a cell shows (column >= 1): the header in row 0, the sensor's
  // texts below.
  std::u16string CellText(int col, int row) const;

  void bAddClick(gui::TComponent* sender);
  void bEditClick(gui::TComponent* sender);
  void bDeleteClick(gui::TComponent* sender);
  void bCloseClick(gui::TComponent* sender);
  void dgSensorsSelectCell(int col, int row);
  void dgSensorsDrawCell(int col, int row, gui::TRect rect, uint8_t state);

 protected:
  void DoShow() override;
  void DoClose(gui::TCloseAction& action) override;
  void Resize() override;

 private:
  bool HasSelection() const;
  bool Ask(size_t question);
  void SelectRow(int row);

  std::vector<TSensorEntry> FSensorList;
  // The headers of columns 1 to 5: "Name", "Type", "Sensitivity",
  // "FreqRange", "Temperature".
  std::array<std::u16string, 5> FHeaderTexts;
  TSensorTexts FTexts;
};
